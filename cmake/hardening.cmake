# SPDX-License-Identifier: MIT
# The hardening Debian builds its packages with, as dpkg-buildflags gives it
# with hardening=+all for the architecture built for: stack protector,
# checked string and memory functions, format checks, and a relocation table
# made read-only after loading. Every Linux build gets it, so that the tests
# run the code the package ships. The sanitizer and fuzz builds bring checks
# of their own that fortify would hide. The optimisation, debug and path
# flags dpkg-buildflags also prints are the build type's and the release's
# to choose, and are left out.
if(NOT CMAKE_SYSTEM_NAME STREQUAL Linux OR KELVORA_SANITIZE OR KELVORA_FUZZ)
    return()
endif()

find_program(KELVORA_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT KELVORA_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found (dpkg-dev): building without Debian's hardening")
    return()
endif()
set(target_architecture)
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    set(target_architecture DEB_HOST_ARCH=arm64)
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${target_architecture} ${KELVORA_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
    foreach(flag IN LISTS flags)
        if(kind STREQUAL "LDFLAGS")
            add_link_options(${flag})
        elseif(flag MATCHES "^-D_FORTIFY_SOURCE")
            # Fortify needs the optimiser; a Debug build would only warn.
            add_compile_options($<$<NOT:$<CONFIG:Debug>>:${flag}>)
        else()
            add_compile_options(${flag})
        endif()
    endforeach()
endforeach()
