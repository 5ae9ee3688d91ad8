# Turns a text file into a C++ source holding it as a NUL-terminated char array.
#   cmake -DINPUT=file.xml -DOUTPUT=file.cpp -DSYMBOL=Name -P EmbedText.cmake
foreach(var INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "EmbedText.cmake: ${var} is not set")
  endif()
endforeach()

file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
# One string literal per sixteen bytes, every byte escaped as \xNN (so no
# escape can run into a following hex digit).
string(REPEAT "[0-9a-f]" 32 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" body "${hex}")
string(REGEX REPLACE "\n" "\"\n  \"" body "${body}")
get_filename_component(name ${INPUT} NAME)
file(WRITE ${OUTPUT}.tmp
"// Generated from ${name} by EmbedText.cmake; do not edit.
#include \"EmbeddedDocuments.h\"

// ${size} bytes of text; the literal adds the terminating NUL.
extern const char ${SYMBOL}[] =
  \"${body}\";
")
# Only touch the output when it changed, so dependants are not rebuilt needlessly.
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${OUTPUT}.tmp ${OUTPUT})
file(REMOVE ${OUTPUT}.tmp)
