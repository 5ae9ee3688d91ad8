# quor_help: the remembering message box and the help invocation behind the
# application base's help hook (COzuWinApp::InvokeHelp). The application base
# (quor_localization) names InvokeHelp in its help hook, so it carries this
# library in its link interface: every program with the application base gets
# the help path, the launcher included.
add_library(quor_help STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/OzuConditionalMessageBox.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/OzuWinAppHelp.cpp
)
target_include_directories(quor_help PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quor_help PUBLIC quor_controls quor_localization quor_productconfig
                      quor_framework shell32 advapi32 user32 gdi32)
