# quor_copy_to_out(target): after each build, copies a finished program to
# out/<arch>/ without its debug sections and symbols (every package carries
# the launcher, so users would download them); the build tree keeps the
# program with them, for debugging.
function(quor_copy_to_out target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUOR_OUT_DIR}
    COMMAND ${CMAKE_STRIP} --strip-all -o ${QUOR_OUT_DIR}/$<TARGET_FILE_NAME:${target}> $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
