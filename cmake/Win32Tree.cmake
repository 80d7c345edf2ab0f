# The MinGW-w64 tree, for x86_64 or i686 as the toolchain file says: Torvane.exe,
# the Win32 adapters, the decoder stand-ins and the tests that run under Wine.
# Every executable lands in bin/.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
# One static file: no libgcc, libstdc++ or winpthread DLLs beside the executables.
add_link_options(-static -static-libgcc -static-libstdc++)
# No link time in the PE header: the same sources give the same bytes.
add_link_options(-Wl,--no-insert-timestamp)

if(NOT TORVANE_ARTWORK_DIR)
  message(FATAL_ERROR "TORVANE_ARTWORK_DIR must name the folder the artwork generator wrote")
endif()

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_subdirectory(src/win32)
add_subdirectory(src/app)
add_subdirectory(tools/standins)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
add_subdirectory(bench/wine)
