# quor_language: language catalogue and merged dictionary reader (Win32 and the
# C++ library only; no class-library layer).
add_library(quor_language STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Language.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LanguageTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FileVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalizedHelpFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppLanguageSlot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocalizationDictionary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergedLocalizationDictionary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DictionaryStrings.cpp)
target_include_directories(quor_language PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The version functions come from the system folder at first call.
target_link_libraries(quor_language PUBLIC quor_systemlibrary)
