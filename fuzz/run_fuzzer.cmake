# Runs one fuzz target for a few seconds on a copy of its seed corpus, so that
# the source tree is never written. Fails on a crash, a leak or a broken property.
#   cmake -DFUZZER=<executable> -DSEEDS=<folder> -DSCRATCH=<folder> -DSECONDS=<n> -P run_fuzzer.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/corpus ${SCRATCH}/findings)
file(COPY ${SEEDS}/ DESTINATION ${SCRATCH}/corpus)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=10 -print_final_stats=1
          -artifact_prefix=${SCRATCH}/findings/ ${SCRATCH}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input that did it is in ${SCRATCH}/findings")
endif()
