# SPDX-License-Identifier: MIT
# cmake -DSTRIP=<strip> -DFOLDER=<folder> -DFILES=<dll;...> -P copy_stripped.cmake
# Leaves FOLDER holding a stripped copy of each of FILES and no other DLL.
# A copy is made again only when its source is newer.
cmake_minimum_required(VERSION 3.25)
foreach(variable STRIP FOLDER FILES)
    if("${${variable}}" STREQUAL "")
        message(FATAL_ERROR "copy_stripped.cmake needs -D${variable}")
    endif()
endforeach()
file(MAKE_DIRECTORY ${FOLDER})

set(wanted)
list(REMOVE_DUPLICATES FILES)
foreach(source IN LISTS FILES)
    get_filename_component(name ${source} NAME)
    list(APPEND wanted ${name})
    set(copy ${FOLDER}/${name})
    if(NOT EXISTS ${copy} OR ${source} IS_NEWER_THAN ${copy})
        execute_process(COMMAND ${STRIP} --strip-unneeded -o ${copy} ${source}
            RESULT_VARIABLE failed)
        if(failed)
            file(REMOVE ${copy})
            message(FATAL_ERROR "Could not strip ${source} into ${FOLDER}")
        endif()
    endif()
endforeach()

file(GLOB present RELATIVE ${FOLDER} ${FOLDER}/*.dll)
foreach(name IN LISTS present)
    if(NOT name IN_LIST wanted)
        file(REMOVE ${FOLDER}/${name})
    endif()
endforeach()
