# The merged dictionary resource: tools/dictgen (from the host build) turns the
# UTF-8 source into the binary that the launcher embeds as 137 DICTIONARY.
set(QUOR_DICTIONARY_SOURCE ${CMAKE_CURRENT_LIST_DIR}/dictionary.txt
    CACHE INTERNAL "UTF-8 source of the merged dictionary")
set(QUOR_DICTIONARY_BIN ${CMAKE_BINARY_DIR}/generated/dictionary.bin
    CACHE INTERNAL "Generated binary merged dictionary")
add_custom_command(
  OUTPUT ${QUOR_DICTIONARY_BIN}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${QUOR_HOST_TOOLS_DIR}/dictgen ${QUOR_DICTIONARY_SOURCE} ${QUOR_DICTIONARY_BIN}
  DEPENDS ${QUOR_DICTIONARY_SOURCE} ${QUOR_HOST_TOOLS_DIR}/dictgen
  COMMENT "Generating the merged dictionary"
  VERBATIM)
add_custom_target(quor_dictionary_bin DEPENDS ${QUOR_DICTIONARY_BIN})
