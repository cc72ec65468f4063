# SPDX-License-Identifier: MIT
# The DLLs a Windows program of this build loads besides its own code: the
# compiler's C++ runtime (one for the programs and Qt alike), Qt's modules and
# the two plugins Qt loads at run time. They are copied, stripped, beside the
# programs in <build>/bin, so the programs run from there, and installed from
# there.

set(kelvora_runtime_dir ${PROJECT_BINARY_DIR}/bin)

set(kelvora_compiler_dlls)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler does not know where ${dll} is")
    endif()
    file(REAL_PATH "${path}" path)
    list(APPEND kelvora_compiler_dlls ${path})
endforeach()

# CMake knows which Qt modules the programs link ($<TARGET_RUNTIME_DLLS>); the
# compiler knows its own runtime; the plugins are no link dependency, so they
# are named. Each folder is made to hold exactly these DLLs, stripped, so a
# DLL the programs stopped needing does not stay behind to be installed.
set(copy_stripped ${CMAKE_COMMAND} -DSTRIP=${CMAKE_STRIP})
set(copy_script ${CMAKE_CURRENT_LIST_DIR}/copy_stripped.cmake)
add_custom_target(kelvora_runtime ALL
    COMMAND ${copy_stripped} -DFOLDER=${kelvora_runtime_dir}
        "-DFILES=${kelvora_compiler_dlls};$<TARGET_RUNTIME_DLLS:Kelvora_EN>;$<TARGET_RUNTIME_DLLS:Kelvora_PL>"
        -P ${copy_script}
    COMMAND ${copy_stripped} -DFOLDER=${kelvora_runtime_dir}/platforms
        -DFILES=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> -P ${copy_script}
    COMMAND ${copy_stripped} -DFOLDER=${kelvora_runtime_dir}/styles
        -DFILES=$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> -P ${copy_script}
    COMMENT "Placing the runtime DLLs beside the programs"
    VERBATIM)

# Runs every test the calling directory registered so far under wine. The
# DLLs come from where they were built, not from <build>/bin: a Qt found
# there looks for its plugins in its own install, where the tests' offscreen
# platform is.
function(kelvora_run_tests_under_wine)
    set(path)
    foreach(dll IN LISTS kelvora_compiler_dlls)
        get_filename_component(folder ${dll} DIRECTORY)
        list(APPEND path "Z:${folder}")
    endforeach()
    list(APPEND path "Z:$<TARGET_FILE_DIR:Qt6::Core>")
    list(REMOVE_DUPLICATES path)
    list(JOIN path "\\;" winepath)
    get_property(tests DIRECTORY PROPERTY TESTS)
    if(tests)
        set_tests_properties(${tests} PROPERTIES
            ENVIRONMENT "WINEPATH=${winepath};WINEDEBUG=-all")
    endif()
endfunction()
