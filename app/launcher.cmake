# The launcher QuorSFX.exe.
#  quor_launchercore - command line, restart check, free-space check and
#                      temporary-root removal (plain Win32; unit-tested on its own)
#  QuorSFX           - application object, progress dialog, worker and launch
add_library(quor_launchercore STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/SfxOptions.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/RebootCheck.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TempRootRemoval.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FreeSpaceCheck.cpp)
target_include_directories(quor_launchercore PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(quor_launchercore PUBLIC quor_extract advapi32)

set(quor_launcher_needs quor_framework quor_framework_main quor_localization quor_extract quor_appcontrols)
set(quor_launcher_ready TRUE)
foreach(t ${quor_launcher_needs})
  if(NOT TARGET ${t})
    set(quor_launcher_ready FALSE)
  endif()
endforeach()

if(quor_launcher_ready)
  add_executable(QuorSFX WIN32
    ${CMAKE_CURRENT_SOURCE_DIR}/QuorSFXApp.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/QuorSFXDlg.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ExtractionWorker.cpp
    ${QUOR_LAUNCHER_RC})
  target_include_directories(QuorSFX PRIVATE ${QUOR_LAUNCHER_RC_INCLUDES})
  set_source_files_properties(${QUOR_LAUNCHER_RC} PROPERTIES OBJECT_DEPENDS "${QUOR_LAUNCHER_RC_DEPENDS}")
  add_dependencies(QuorSFX quor_launcher_resources)
  target_link_libraries(QuorSFX PRIVATE quor_framework_main quor_launchercore quor_appcontrols quor_localization quor_extract
                        quor_framework ole32 oleaut32 uuid shell32 advapi32 user32 gdi32)
  target_link_options(QuorSFX PRIVATE -municode)
  quor_import_only_known_dlls(QuorSFX)
  quor_copy_to_out(QuorSFX)
else()
  message(STATUS "QuorSFX.exe not configured yet: needs ${quor_launcher_needs}")
endif()
