# Each folder of src/core and src/ui is one static library; each folder of tests/core is one test
# program. Sources are globbed so that adding a file needs no edit here.
#
# Layering is enforced by include paths: a library sees only its own folder and the folders of
# the libraries it links (each gets an include root holding a link to its one folder, handed on
# to dependents), so an include of a folder it does not depend on fails to compile.
function(kovi_include_root target scope folder)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

function(kovi_core_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(sources)
    add_library(kovi_${name} STATIC ${sources})
    kovi_include_root(kovi_${name} PUBLIC core/${name})
    target_link_libraries(kovi_${name} PUBLIC ${ARG_DEPENDS})
  else()
    # A module whose sources are not written yet still links its dependencies.
    add_library(kovi_${name} INTERFACE)
    kovi_include_root(kovi_${name} INTERFACE core/${name})
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

# One library of views per folder of src/ui, named kovi_ui_<folder>.
function(kovi_ui_module name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  if(sources OR ARG_SOURCES)
    add_library(kovi_ui_${name} STATIC ${sources} ${ARG_SOURCES})
    kovi_include_root(kovi_ui_${name} PUBLIC ui/${name})
    target_link_libraries(kovi_ui_${name} PUBLIC ${ARG_DEPENDS})
  else()
    add_library(kovi_ui_${name} INTERFACE)
    kovi_include_root(kovi_ui_${name} INTERFACE ui/${name})
    target_link_libraries(kovi_ui_${name} INTERFACE ${ARG_DEPENDS})
  endif()
endfunction()
