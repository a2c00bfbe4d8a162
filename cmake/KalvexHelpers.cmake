# kalvex_add_library(name SOURCES... [DEPS ...]) — one static library per layer, with an alias kalvex::name.
function(kalvex_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(kalvex_${name} STATIC ${ARG_SOURCES})
  add_library(kalvex::${name} ALIAS kalvex_${name})
  target_include_directories(kalvex_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kalvex_${name} PUBLIC ${ARG_DEPS} PRIVATE kalvex_warnings)
endfunction()

# kalvex_add_test(name SOURCES... [DEPS ...] [GUI]) — one GoogleTest program per test group,
# registered with CTest case by case. GUI tests run on Qt's offscreen platform.
function(kalvex_add_test name)
  # TEST_FILTER: a gtest filter of the tests CTest runs one by one; tests left out run as a
  # CTest entry of their own (e.g. under another locale).
  cmake_parse_arguments(ARG "GUI" "TEST_FILTER" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock kalvex_warnings)
  target_compile_definitions(${name} PRIVATE KALVEX_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  if(NOT ARG_GUI)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  include(GoogleTest)
  if(NOT ARG_TEST_FILTER)
    set(ARG_TEST_FILTER "*")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER ${ARG_TEST_FILTER}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT 120)
endfunction()
