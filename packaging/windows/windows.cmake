# Windows: both programs in one folder with exactly the DLLs and plugins they
# load, Qt's licence notices and where its source comes from; a ZIP of that
# folder and an installer with Start-menu entries. The uninstaller removes
# the folder only: each user's settings in %APPDATA% stay.

install(TARGETS Kelvora_EN Kelvora_PL RUNTIME DESTINATION .)
foreach(file IN LISTS kelvora_runtime_outputs)
    cmake_path(RELATIVE_PATH file BASE_DIRECTORY ${kelvora_runtime_dir} OUTPUT_VARIABLE relative)
    cmake_path(GET relative PARENT_PATH folder)
    if(folder STREQUAL "")
        set(folder .)
    endif()
    install(FILES ${file} DESTINATION ${folder})
endforeach()

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
configure_file(${CMAKE_CURRENT_LIST_DIR}/NOTICE.txt ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt DESTINATION .)
install(DIRECTORY ${qt_licences}/ DESTINATION licences/qt)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Kelvora)
set(CPACK_PACKAGE_VENDOR Kelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME Kelvora-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Kelvora)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop meter of drive, memory and processor use")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/NOTICE.txt)
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
set(CPACK_NSIS_DISPLAY_NAME Kelvora)
set(CPACK_NSIS_PACKAGE_NAME Kelvora)
set(CPACK_NSIS_INSTALLED_ICON_NAME Kelvora_EN.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
include(CPack)
