# Prints the fuzz targets' names, one a line, for scripts: cmake -P fuzz/list_targets.cmake
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
foreach(name IN LISTS TORVANE_FUZZ_TARGETS)
  message("${name}")
endforeach()
