# Two static libraries per subsystem folder: korval_<folder> for its engines and korval_<folder>_ui
# for its windows and controls. Each folder's CMakeLists.txt lists its sources.

# Engines are plain C++: the target links no Qt module, and configuring fails when one of its
# files includes a Qt header (the compile would fail later anyway, less clearly).
function(korval_engine target)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  foreach(src IN LISTS K_SOURCES)
    file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/${src} _qt REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
    if(_qt)
      message(FATAL_ERROR "Engine file ${CMAKE_CURRENT_SOURCE_DIR}/${src} includes Qt (${_qt}): "
                          "move it into windows/ or put the Qt part behind an interface")
    endif()
  endforeach()
  add_library(${target} STATIC ${K_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${K_DEPS})
  set_target_properties(${target} PROPERTIES AUTOMOC OFF)
endfunction()

# Windows and controls: Qt Widgets and whatever engines and lower windows they stand on.
function(korval_ui target)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${target} STATIC ${K_SOURCES})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${K_DEPS} Qt6::Widgets)
endfunction()

# One test executable per folder, from the listed test sources and the shared test main.
function(korval_tests folder)
  cmake_parse_arguments(K "" "" "SOURCES;DEPS" ${ARGN})
  set(target test_${folder})
  add_executable(${target} ${K_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE korval_test_main ${K_DEPS} Qt6::Test GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE
    KORVAL_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data"
    KORVAL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    KORVAL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
