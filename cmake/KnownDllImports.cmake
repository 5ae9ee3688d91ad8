# DLL planting: a launcher is started from a downloads folder that may hold
# any DLL. Windows resolves a program's static imports before any of its code
# runs, searching the program's own folder first - except for the KnownDLLs,
# which it always takes from the system folder. So the launcher imports only
# KnownDLLs statically; the functions it needs from other system DLLs
# (comctl32, version) are bound at first call, from the system folder only,
# by framework/SystemLibrary.cpp, after the DLL search path has been
# restricted.
#
#   quor_import_only_known_dlls(target)
#     checks the linked program's import table against QUOR_KNOWN_DLLS after
#     every build (a new static import fails the build).

# DLLs that are KnownDLLs on every Windows from 7 to 11 (the KnownDLLs key of
# the session manager; Windows 10 dropped some that 7 had, such as urlmon,
# wininet and usp10, so those are not here). msvcrt is the C runtime.
set(QUOR_KNOWN_DLLS
  advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
  ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)

set(QUOR_KNOWN_DLL_IMPORTS_DIR ${CMAKE_CURRENT_LIST_DIR})
find_program(QUOR_OBJDUMP NAMES ${QUOR_MINGW_TRIPLE}-objdump REQUIRED)

function(quor_import_only_known_dlls target)
  # Lists travel comma-separated: a semicolon would split the argument.
  string(REPLACE ";" "," known "${QUOR_KNOWN_DLLS}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${QUOR_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
            -DKNOWN=${known}
            -P ${QUOR_KNOWN_DLL_IMPORTS_DIR}/CheckKnownDllImports.cmake
    VERBATIM)
endfunction()
