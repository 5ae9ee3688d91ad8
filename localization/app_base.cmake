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
# In the build the tests run, the mnemonic fixers index their strings with
# the standard library's checks on: a read in front of a text's first
# character stops the program instead of reading whatever lies before it.
if(QUOR_ARCH STREQUAL "x86_64")
  set_source_files_properties(
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer_Asia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ShortcutFixer_Chinese.cpp
    PROPERTIES COMPILE_DEFINITIONS _GLIBCXX_ASSERTIONS)
endif()
