# quor_copy_to_out(target): copies a finished program to out/<arch>/ after each build.
function(quor_copy_to_out target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QUOR_OUT_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${QUOR_OUT_DIR}/
    VERBATIM)
endfunction()
