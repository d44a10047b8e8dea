# One static library per subsystem folder. Sources are collected from the folder so that
# adding a file needs no edit here; each folder's CMakeLists names only its dependencies.
function(korval_library target)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER _src INCLUDE REGEX "\\.cpp$|\\.h$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(NOT _cpp)
    # Nothing built here yet: an interface target keeps the dependency graph whole.
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${K_DEPS} Qt6::Core Qt6::Gui Qt6::Widgets)
    return()
  endif()
  add_library(${target} STATIC ${_src})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${K_DEPS} Qt6::Core Qt6::Gui Qt6::Widgets)
endfunction()

# One test executable per folder, built from tests/<folder>/*.cpp and the shared test main.
function(korval_tests folder)
  cmake_parse_arguments(K "" "" "DEPS" ${ARGN})
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT _src)
    return()
  endif()
  set(target test_${folder})
  add_executable(${target} ${_src})
  target_link_libraries(${target} PRIVATE korval_test_main ${K_DEPS} Qt6::Test GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    KORVAL_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    KORVAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVAL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
