# The native tree: the portable core and its tests, the artwork generator, the
# benchmarks, and the Windows tree built as an external project whose tests are
# registered here so that one ctest run covers every layer.
include(ExternalProject)
enable_testing()
find_package(GTest REQUIRED)

add_subdirectory(tools/artgen)
add_subdirectory(tools/xdnd_drop)
add_subdirectory(tests/core)
add_subdirectory(tests/tools)
add_subdirectory(bench)

set(TORVANE_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
ExternalProject_Add(win32
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${TORVANE_WIN32_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DTORVANE_ARTWORK_DIR=${TORVANE_ARTWORK_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  USES_TERMINAL_BUILD ON
  DEPENDS artwork)

add_subdirectory(tests/wine)
add_subdirectory(tests/dist)
include(cmake/FuzzTree.cmake)
