# Stops the build with a clear message when the host tool is missing.
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "${FILE} is missing: build the host tools first (scripts/build.sh host)")
endif()
