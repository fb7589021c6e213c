# zorvat_add_test(name SOURCES a.cpp b.cpp LIBS lib...)
# Builds one Qt Test executable that runs headless and registers it with CTest.
function(zorvat_add_test name)
  cmake_parse_arguments(ZT "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZT_SOURCES})
  target_link_libraries(${name} PRIVATE zorvat_testsupport ${ZT_LIBS} Qt6::Test)
  zorvat_warnings(${name})
  # Test data files are read from the source tree.
  target_compile_definitions(${name} PRIVATE ZORVAT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZORVAT_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output"
    TIMEOUT 600)
endfunction()
