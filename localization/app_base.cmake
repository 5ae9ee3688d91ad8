# quor_localization: application base, strategies, string, window and menu
# translation, satellite files, mnemonic fixers (on the class-library layer).
add_library(quor_localization STATIC
  ${CMAKE_CURRENT_LIST_DIR}/UserInterfaceLocalization.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OzuWinApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceFileLocalization.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WindowTextCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalizedStrings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer_Asia.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer_Chinese.cpp)
target_include_directories(quor_localization PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quor_localization PUBLIC quor_framework quor_language)
# COzuWinApp::WinHelp hands requests to COzuWinApp::InvokeHelp, which lives
# with the help subsystem (controls/help.cmake, library quor_help).
target_link_libraries(quor_localization INTERFACE quor_help)
