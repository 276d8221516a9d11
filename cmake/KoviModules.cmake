# Each folder of src/core is one static library named kovi_<folder>; each folder of tests/core
# is one test program. Sources are globbed so that adding a file needs no edit here.

function(kovi_core_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(sources)
    add_library(kovi_${name} STATIC ${sources})
    target_include_directories(kovi_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(kovi_${name} PUBLIC ${ARG_DEPENDS})
  else()
    # A module whose sources are not written yet still links its dependencies.
    add_library(kovi_${name} INTERFACE)
    target_include_directories(kovi_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(kovi_${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()

# Core tests run without a display; their main gives each program its own temporary HOME and
# XDG folders. The public test data beside the project is found through KOVI_SHARED_TESTDATA.
function(kovi_core_tests name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target kovi_${name}_tests)
  add_executable(${target} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/core_test_main.cpp)
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} kovi_testsupport GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE KOVI_SHARED_TESTDATA="${PROJECT_SOURCE_DIR}/../shared/testdata")
  gtest_discover_tests(${target}
    TEST_PREFIX "core.${name}."
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120 LABELS core)
endfunction()
