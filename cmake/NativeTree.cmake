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

# The Windows tree, once per target width: build/windows-x86_64 (what every test
# layer runs) and build/windows-i686 (for 32-bit Windows; run where this machine
# can run 32-bit programs).
set(TORVANE_WINDOWS_ARCHES x86_64 i686)
foreach(arch IN LISTS TORVANE_WINDOWS_ARCHES)
  set(TORVANE_WINDOWS_DIR_${arch} ${CMAKE_BINARY_DIR}/windows-${arch})
  ExternalProject_Add(windows_${arch}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${TORVANE_WINDOWS_DIR_${arch}}
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
      -DCMAKE_BUILD_TYPE=Release
      -DTORVANE_ARTWORK_DIR=${TORVANE_ARTWORK_DIR}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON
    DEPENDS artwork)
endforeach()

add_subdirectory(tests/wine)
add_subdirectory(tests/dist)
include(cmake/FuzzTree.cmake)
