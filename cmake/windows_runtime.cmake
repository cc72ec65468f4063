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

# Each DLL: where it comes from, and its folder beside the programs.
set(runtime_files)
foreach(dll IN LISTS kelvora_compiler_dlls)
    list(APPEND runtime_files "${dll}|.")
endforeach()
foreach(module Core Gui Widgets)
    list(APPEND runtime_files "$<TARGET_FILE:Qt6::${module}>|.")
endforeach()
list(APPEND runtime_files
    "$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>|platforms"
    "$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>|styles")

set(kelvora_runtime_outputs)
foreach(entry IN LISTS runtime_files)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 source)
    list(GET entry 1 folder)
    # The names are known without evaluating the target expressions.
    string(REGEX REPLACE "^.*TARGET_FILE:Qt6::(.*)>$" "\\1" target "${source}")
    if(target STREQUAL "${source}")
        get_filename_component(name ${source} NAME)
    elseif(target STREQUAL "QWindowsIntegrationPlugin")
        set(name qwindows.dll)
    elseif(target STREQUAL "QWindowsVistaStylePlugin")
        set(name qwindowsvistastyle.dll)
    else()
        set(name Qt6${target}.dll)
    endif()
    set(output ${kelvora_runtime_dir}/${folder}/${name})
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${kelvora_runtime_dir}/${folder}
        COMMAND ${CMAKE_STRIP} --strip-unneeded -o ${output} ${source}
        DEPENDS ${source}
        VERBATIM)
    list(APPEND kelvora_runtime_outputs ${output})
endforeach()
add_custom_target(kelvora_runtime ALL DEPENDS ${kelvora_runtime_outputs})

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
