# The fuzz targets, built by clang as a tree of their own (the core and fuzz/
# only, see fuzz/CMakeLists.txt) and run for a few seconds each as tests.
# scripts/fuzz.sh runs them for longer.
find_program(TORVANE_CLANG clang REQUIRED)
find_program(TORVANE_CLANGXX clang++ REQUIRED)
include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)

set(TORVANE_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(fuzz
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${TORVANE_FUZZ_DIR}
  CMAKE_ARGS
    -DTORVANE_FUZZ=ON
    -DCMAKE_C_COMPILER=${TORVANE_CLANG}
    -DCMAKE_CXX_COMPILER=${TORVANE_CLANGXX}
    # -O1 with line tables: what libFuzzer runs well with, and quick to build.
    -DCMAKE_BUILD_TYPE=
    "-DCMAKE_CXX_FLAGS=-O1 -gline-tables-only"
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")

foreach(name IN LISTS TORVANE_FUZZ_TARGETS)
  add_test(NAME fuzz_${name}
    COMMAND ${CMAKE_COMMAND}
      -DFUZZER=${TORVANE_FUZZ_DIR}/bin/${name}_fuzzer
      -DSEEDS=${CMAKE_SOURCE_DIR}/fuzz/corpus/${name}
      -DSCRATCH=${CMAKE_BINARY_DIR}/fuzz-runs/${name}
      -DSECONDS=5
      -P ${CMAKE_SOURCE_DIR}/fuzz/run_fuzzer.cmake)
endforeach()
