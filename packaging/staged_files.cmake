# SPDX-License-Identifier: MIT
# Run by CPack on the staged files before it packs them. The archives keep
# each file's mode and time: without this, the builder's umask decides the
# modes, and the time of the build (or of a system package's install, for
# the licences and DLLs copied in) the times. A release sets
# SOURCE_DATE_EPOCH to its commit's time, which every file then takes.
if(NOT CPACK_TEMPORARY_DIRECTORY OR NOT IS_DIRECTORY "${CPACK_TEMPORARY_DIRECTORY}")
    message(FATAL_ERROR "No staged files at '${CPACK_TEMPORARY_DIRECTORY}'")
endif()
# Folders made under a strict umask are opened up to what installed folders
# are: readable and searchable by all, written by their owner.
execute_process(COMMAND chmod -R go-w,a+rX "${CPACK_TEMPORARY_DIRECTORY}" COMMAND_ERROR_IS_FATAL ANY)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(
        COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -exec touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" {} +
        COMMAND_ERROR_IS_FATAL ANY)
endif()
