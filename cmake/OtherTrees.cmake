# The Windows tree (mingw-w64, tests under Wine) and the sanitizer tree
# (clang with ASan and UBSan, and the fuzz targets), built from the same
# sources beside this one; their tests join this tree's ctest run.
include(ExternalProject)

set(QB_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(QB_SANITIZE_DIR ${CMAKE_BINARY_DIR}/sanitize)

ExternalProject_Add(windows_tree
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${QB_WINDOWS_DIR}
  CMAKE_ARGS -G ${CMAKE_GENERATOR}
             -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
             -DCMAKE_BUILD_TYPE=Release
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

ExternalProject_Add(sanitize_tree
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${QB_SANITIZE_DIR}
  CMAKE_ARGS -G ${CMAKE_GENERATOR}
             -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
             -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DQB_SANITIZE=ON -DQB_FUZZ=ON
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON)

# Run one after the other: two cores, and each tree builds in parallel.
add_dependencies(sanitize_tree windows_tree)

add_test(NAME windows COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${QB_WINDOWS_DIR} --output-on-failure)
add_test(NAME sanitize COMMAND ${CMAKE_CTEST_COMMAND} --test-dir ${QB_SANITIZE_DIR} --output-on-failure)
