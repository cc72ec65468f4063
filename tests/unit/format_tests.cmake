# Tests of number rendering and unit stepping; Qt-free, included from tests/CMakeLists.txt.
find_package(GTest REQUIRED)

add_executable(number_format_test
    ${CMAKE_CURRENT_LIST_DIR}/number_format_test.cpp
    ${CMAKE_SOURCE_DIR}/src/meter/number_format.cpp
)
add_executable(unit_table_test
    ${CMAKE_CURRENT_LIST_DIR}/unit_table_test.cpp
    ${CMAKE_SOURCE_DIR}/src/meter/unit_table.cpp
)
foreach(test number_format_test unit_table_test)
    target_include_directories(${test} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${test} PRIVATE GTest::gtest_main)
    add_test(NAME ${test} COMMAND ${test})
endforeach()
