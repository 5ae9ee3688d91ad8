# The launcher's resources: QuorSFX.rc with dialog 102, strings 138-144, the
# manifest, and three generated files that the .rc names by plain file name:
#   QuorSFX129.bmp  built-in splash bitmap  (host tool artwork)
#   QuorSFX131.ico  application icon        (host tool artwork)
#   dictionary.bin  translation dictionary  (copied from QUOR_DICTIONARY_BIN)
# They are written to one generated folder that the launcher passes to the
# resource compiler as an include directory.
set(quor_launcher_gen ${CMAKE_BINARY_DIR}/generated/launcher)
file(MAKE_DIRECTORY ${quor_launcher_gen})

add_custom_command(
  OUTPUT ${quor_launcher_gen}/QuorSFX129.bmp ${quor_launcher_gen}/QuorSFX131.ico
  COMMAND ${QUOR_HOST_TOOLS_DIR}/artwork
          --bitmap ${quor_launcher_gen}/QuorSFX129.bmp
          --icon ${quor_launcher_gen}/QuorSFX131.ico
  DEPENDS ${QUOR_HOST_TOOLS_DIR}/artwork
  COMMENT "Drawing the launcher's bitmap and icon"
  VERBATIM)

set(quor_launcher_generated ${quor_launcher_gen}/QuorSFX129.bmp ${quor_launcher_gen}/QuorSFX131.ico)
set(quor_launcher_dict_deps)
if(DEFINED QUOR_DICTIONARY_BIN)
  add_custom_command(
    OUTPUT ${quor_launcher_gen}/dictionary.bin
    COMMAND ${CMAKE_COMMAND} -E copy ${QUOR_DICTIONARY_BIN} ${quor_launcher_gen}/dictionary.bin
    DEPENDS ${QUOR_DICTIONARY_BIN}
    VERBATIM)
  if(TARGET quor_dictionary_bin)
    set(quor_launcher_dict_deps quor_dictionary_bin)
  endif()
  list(APPEND quor_launcher_generated ${quor_launcher_gen}/dictionary.bin)
else()
  message(WARNING "QUOR_DICTIONARY_BIN is not defined: the launcher is built with an empty dictionary (English only)")
  file(WRITE ${quor_launcher_gen}/dictionary.bin "")
endif()

add_custom_target(quor_launcher_resources DEPENDS ${quor_launcher_generated})
if(quor_launcher_dict_deps)
  add_dependencies(quor_launcher_resources ${quor_launcher_dict_deps})
endif()

# What the launcher target (app/launcher.cmake) and the tests need.
set(QUOR_LAUNCHER_RC ${CMAKE_CURRENT_SOURCE_DIR}/QuorSFX.rc CACHE INTERNAL "")
set(QUOR_LAUNCHER_RC_INCLUDES ${CMAKE_CURRENT_SOURCE_DIR} ${quor_launcher_gen} CACHE INTERNAL "")
set(QUOR_LAUNCHER_RC_DEPENDS ${quor_launcher_generated}
    ${CMAKE_CURRENT_SOURCE_DIR}/QuorSFX.manifest ${CMAKE_CURRENT_SOURCE_DIR}/resource.h
    ${CMAKE_CURRENT_SOURCE_DIR}/HelpStrings.rc ${CMAKE_SOURCE_DIR}/controls/HelpStringIds.h CACHE INTERNAL "")
