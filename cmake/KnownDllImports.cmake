# DLL planting: a launcher is started from a downloads folder that may hold
# any DLL. Windows resolves a program's static imports before any of its code
# runs, searching the program's own folder first - except for the KnownDLLs,
# which it always takes from the system folder. So the launcher imports only
# KnownDLLs statically; every other system DLL is delay-loaded: bound at the
# first call, by the loader hook in app/DllSearchPath.cpp, from the system
# folder only (after the DLL search path has been restricted).
#
#   quor_import_only_known_dlls(target)
#     links the delayed DLLs of QUOR_DELAY_LOADED_DLLS through delay-import
#     libraries and checks the linked program's import table against
#     QUOR_KNOWN_DLLS after every build (a new static import fails the build).

# DLLs that are KnownDLLs on every Windows from 7 to 11 (the KnownDLLs key of
# the session manager; Windows 10 dropped some that 7 had, such as urlmon,
# wininet and usp10, so those are not here). msvcrt is the C runtime.
set(QUOR_KNOWN_DLLS
  advapi32 clbcatq comdlg32 gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
  ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)

# System DLLs the launcher uses that are not KnownDLLs: loaded at first use
# from the system folder. A program linked with quor_import_only_known_dlls
# that needs another such DLL lists it here (by its import-library name).
set(QUOR_DELAY_LOADED_DLLS version comctl32)

set(QUOR_KNOWN_DLL_IMPORTS_DIR ${CMAKE_CURRENT_LIST_DIR})

function(quor_import_only_known_dlls target)
  find_program(QUOR_DLLTOOL NAMES ${QUOR_MINGW_TRIPLE}-dlltool REQUIRED)
  find_program(QUOR_NM NAMES ${QUOR_MINGW_TRIPLE}-nm REQUIRED)
  find_program(QUOR_OBJDUMP NAMES ${QUOR_MINGW_TRIPLE}-objdump REQUIRED)

  # Delay-import libraries named like the system's import libraries, in a
  # folder searched first by this program's link only: every -lversion of
  # the program and of its libraries binds to the delayed form.
  set(dir ${CMAKE_BINARY_DIR}/delayimp/${target})
  # 32-bit symbols carry a leading underscore (and stdcall's @N suffix).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(stdcall_prefix 1)
  else()
    set(stdcall_prefix 0)
  endif()
  set(libs)
  foreach(dll ${QUOR_DELAY_LOADED_DLLS})
    execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE system_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${system_lib}" OR NOT EXISTS "${system_lib}")
      message(FATAL_ERROR "No import library lib${dll}.a in the toolchain (QUOR_DELAY_LOADED_DLLS)")
    endif()
    add_custom_command(
      OUTPUT ${dir}/lib${dll}.a
      COMMAND ${CMAKE_COMMAND} -DNM=${QUOR_NM} -DDLLTOOL=${QUOR_DLLTOOL} -DIMPORT_LIB=${system_lib}
              -DSTDCALL_PREFIX=${stdcall_prefix} -DWORK=${dir}/${dll} -DOUT=${dir}/lib${dll}.a
              -P ${QUOR_KNOWN_DLL_IMPORTS_DIR}/MakeDelayImportLib.cmake
      DEPENDS ${system_lib} ${QUOR_KNOWN_DLL_IMPORTS_DIR}/MakeDelayImportLib.cmake
      COMMENT "Delay-import library for lib${dll}.a"
      VERBATIM)
    list(APPEND libs ${dir}/lib${dll}.a)
  endforeach()
  # A DLL taken off the list must bind to the system's import library again.
  file(GLOB present ${dir}/lib*.a)
  foreach(lib ${present})
    if(NOT lib IN_LIST libs)
      file(REMOVE ${lib})
    endif()
  endforeach()
  # The list itself, rewritten only when it changes: a change relinks.
  file(CONFIGURE OUTPUT ${dir}/delayed.txt CONTENT "${QUOR_DELAY_LOADED_DLLS}\n")
  add_custom_target(${target}_delayimp DEPENDS ${libs})
  add_dependencies(${target} ${target}_delayimp)
  target_link_directories(${target} PRIVATE ${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${libs} ${dir}/delayed.txt)

  # Lists travel comma-separated: a semicolon would split the argument.
  string(REPLACE ";" "," known "${QUOR_KNOWN_DLLS}")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${QUOR_OBJDUMP} -DPROGRAM=$<TARGET_FILE:${target}>
            -DKNOWN=${known}
            -P ${QUOR_KNOWN_DLL_IMPORTS_DIR}/CheckKnownDllImports.cmake
    VERBATIM)
endfunction()
