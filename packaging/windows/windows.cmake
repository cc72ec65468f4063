# SPDX-License-Identifier: MIT
# Windows: both programs in one folder with exactly the DLLs and plugins they
# load, the licences of all of it and where Qt's source comes from; a ZIP of
# that folder and an installer with Start-menu entries, for the current user
# or for all users. The uninstaller removes the folder only: each user's
# settings in %APPDATA% stay.

# The programs' icon, drawn at build time by the icon writer that makes the
# Linux icons, built for the build machine.
include(ExternalProject)
set(icon_tool_dir ${CMAKE_CURRENT_BINARY_DIR}/icon_tool)
set(icon_tool ${icon_tool_dir}/kelvora_write_icons)
ExternalProject_Add(kelvora_icon_tool
    SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/icon_tool
    BINARY_DIR ${icon_tool_dir}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    # Its own build knows when the drawing changed.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${icon_tool})
set(program_icon ${CMAKE_CURRENT_BINARY_DIR}/kelvora.ico)
add_custom_command(
    OUTPUT ${program_icon}
    COMMAND ${icon_tool} --ico ${program_icon} 16 32 48 256
    DEPENDS kelvora_icon_tool ${icon_tool}
    COMMENT "Drawing the Windows icon at 16, 32, 48 and 256 pixels"
    VERBATIM)
add_custom_target(kelvora_program_icon DEPENDS ${program_icon})

# Each program's icon and manifest, beside its version data.
foreach(lang EN PL)
    set(program Kelvora_${lang})
    set(version_dots ${kelvora_version_numbers_${lang}})
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${program}.manifest)
    set(face_rc ${CMAKE_CURRENT_BINARY_DIR}/${program}_face.rc)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/program.manifest.in ${manifest} @ONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/program.rc.in ${face_rc} @ONLY)
    target_sources(${program} PRIVATE ${face_rc})
    set_source_files_properties(${face_rc} TARGET_DIRECTORY ${program}
        PROPERTIES OBJECT_DEPENDS "${program_icon};${manifest}")
    add_dependencies(${program} kelvora_program_icon)
endforeach()

install(TARGETS Kelvora_EN Kelvora_PL RUNTIME DESTINATION .)
# The DLLs are known by name only when the build is generated: the folder
# beside the programs holds exactly them.
install(DIRECTORY ${kelvora_runtime_dir}/ DESTINATION . FILES_MATCHING PATTERN *.dll)

cmake_path(GET Qt6_DIR PARENT_PATH qt_cmake_dir)
cmake_path(GET qt_cmake_dir PARENT_PATH qt_lib_dir)
cmake_path(GET qt_lib_dir PARENT_PATH qt_prefix)
set(qt_licences ${qt_prefix}/share/licenses/qt6-base)
if(NOT EXISTS ${qt_licences}/SOURCE)
    message(FATAL_ERROR "Qt's licence notices are missing from ${qt_prefix}: "
                        "build Qt with scripts/build-qt-mingw")
endif()
file(READ ${qt_licences}/SOURCE qt_source_version)
string(STRIP "${qt_source_version}" qt_source_version)
# The two text files a user opens beside the programs have Windows line
# ends, which older Notepad needs to show more than one line.
configure_file(${CMAKE_CURRENT_LIST_DIR}/NOTICE.txt ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt @ONLY
    NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt DESTINATION .)
install(DIRECTORY ${qt_licences}/ DESTINATION licences/qt)
# The installer test compares it with LICENSE, which catches an @name@ that
# configure_file would fill in.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt @ONLY
    NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

# The full licences of the compiler's runtime DLLs, as Debian ships them with
# the packages the DLLs come from: the GCC runtime's copyright file, with the
# GCC Runtime Library Exception, and the GPL it refers to; winpthreads' notices
# in the mingw-w64 copyright file.
set(runtime_licences
    "/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright|gcc|copyright.txt"
    "/usr/share/common-licenses/GPL-3|gcc|GPL-3.txt"
    "/usr/share/doc/mingw-w64-x86-64-dev/copyright|mingw-w64|copyright.txt")
foreach(entry IN LISTS runtime_licences)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 source)
    list(GET entry 1 folder)
    list(GET entry 2 name)
    if(NOT EXISTS ${source})
        message(FATAL_ERROR "${source} is missing: the licence of the runtime DLLs comes from it")
    endif()
    install(FILES ${source} DESTINATION licences/${folder} RENAME ${name})
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Kelvora)
set(CPACK_PACKAGE_VENDOR Kelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kelvora-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kelvora)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop meter of drive, memory and processor use")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt)
# The installer, for the current user or for all users, is CPack's template
# rewritten: packaging/windows/NSIS.template.in.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_STRIP_FILES ON)
# Start-menu entries: program, then the entry's name.
set(CPACK_PACKAGE_EXECUTABLES
    Kelvora_EN "${kelvora_description_EN}"
    Kelvora_PL "Kelvora (polski)")
# A 64-bit installer for 64-bit programs: makensis builds a 32-bit one
# otherwise, which 64-bit Windows runs only through its 32-bit layer (and a
# wine without its 32-bit half not at all), with the uninstall entry in the
# 32-bit registry view.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The installer and its uninstall entry carry the English program's version,
# the program whose icon the entry shows; the template takes these.
set(CPACK_KELVORA_VERSION ${KELVORA_VERSION_EN})
set(CPACK_KELVORA_VERSION_NUMBERS ${kelvora_version_numbers_EN})
set(CPACK_KELVORA_COMPANY ${copyright_holder})
set(CPACK_KELVORA_COPYRIGHT ${copyright_notice})
set(CPACK_NSIS_MUI_ICON ${program_icon})
set(CPACK_NSIS_MUI_UNIICON ${program_icon})
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_DISPLAY_NAME Kelvora)
set(CPACK_NSIS_PACKAGE_NAME Kelvora)
set(CPACK_NSIS_INSTALLED_ICON_NAME Kelvora_EN.exe)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
include(CPack)
