# Runs dictgen on a faulty source: it must fail, write no output, and name the
# fault (EXPECT, a regular expression) with the line number of the source.
file(REMOVE ${OUTPUT})
file(WRITE ${OUTPUT} "stale output of an earlier run")
execute_process(COMMAND ${TOOL} ${SOURCE} ${OUTPUT}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(rc EQUAL 0)
  message(FATAL_ERROR "dictgen accepted ${SOURCE}: ${out}")
endif()
if(EXISTS ${OUTPUT})
  message(FATAL_ERROR "dictgen left an output file behind for ${SOURCE}")
endif()
if(NOT err MATCHES "${EXPECT}")
  message(FATAL_ERROR "dictgen's message does not match \"${EXPECT}\":\n${err}")
endif()
if(NOT err MATCHES "\\.txt:[0-9]+: error: ")
  message(FATAL_ERROR "dictgen's message gives no line number:\n${err}")
endif()
message(STATUS "refused as expected: ${err}")
