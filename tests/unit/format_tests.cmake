# SPDX-License-Identifier: MIT
# Tests of number rendering and unit stepping; Qt-free, included from tests/CMakeLists.txt.
foreach(test number_format_test unit_table_test)
    add_executable(${test} ${CMAKE_CURRENT_LIST_DIR}/${test}.cpp)
    target_link_libraries(${test} PRIVATE kelvora_format GTest::gtest_main)
    add_test(NAME ${test} COMMAND ${test})
endforeach()
