# The fuzz targets, each built from <name>_fuzzer.cpp and seeded from corpus/<name>/.
set(TORVANE_FUZZ_TARGETS line_reader intake settings key_plan pe_imports zbar_xml decoder_errors)
