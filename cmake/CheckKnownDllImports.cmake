# Script mode: fails when a linked program imports, at load time, a DLL that
# is not a KnownDLL (Windows would look for it beside the program first), or
# delay-loads any DLL.
#   -DOBJDUMP=... -DPROGRAM=x.exe -DKNOWN=a,b,...
cmake_policy(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
# No delay-loaded imports either: the 32-bit linker can drop the thunks of a
# delay-import library, leaving slots that crash at the first call. The
# functions of non-KnownDLLs are bound explicitly instead. MinGW's delay
# imports need not fill the header's entry: their helper is looked for too.
execute_process(COMMAND ${OBJDUMP} -t ${PROGRAM} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
set(delayed FALSE)
if(dump MATCHES "Entry d ([0-9a-fA-F]+) [0-9a-fA-F]+ Delay Import Directory" AND NOT CMAKE_MATCH_1 MATCHES "^0+$")
  set(delayed TRUE)
elseif(symbols MATCHES "__delayLoadHelper2|__DELAY_IMPORT_DESCRIPTOR_")
  set(delayed TRUE)
endif()
if(delayed)
  get_filename_component(name ${PROGRAM} NAME)
  message(FATAL_ERROR "${name} has delay-loaded imports. Bind the functions through "
    "framework/SystemLibrary.cpp (from the system folder, at first call) instead.")
endif()
string(REPLACE "," ";" known "${KNOWN}")
# The load-time import table only (a delay-import table would follow it).
string(FIND "${dump}" "\nThe Import Tables" at)
if(at EQUAL -1)
  message(FATAL_ERROR "No import table found in ${PROGRAM}")
endif()
string(SUBSTRING "${dump}" ${at} -1 imports)
string(SUBSTRING "${imports}" 1 -1 imports)
foreach(next "\nThe " "\nPE File Base Relocations")
  string(FIND "${imports}" "${next}" end)
  if(NOT end EQUAL -1)
    string(SUBSTRING "${imports}" 0 ${end} imports)
  endif()
endforeach()
string(REGEX MATCHALL "DLL Name: [^\n]+" names "${imports}")
set(bad)
foreach(entry ${names})
  string(REGEX REPLACE "^DLL Name: ([^ \t\r]+).*" "\\1" dll "${entry}")
  string(TOLOWER "${dll}" stem)
  string(REGEX REPLACE "\\.dll$" "" stem "${stem}")
  if(NOT stem IN_LIST known)
    list(APPEND bad "${dll}")
  endif()
endforeach()
if(bad)
  string(REPLACE ";" ", " bad "${bad}")
  get_filename_component(name ${PROGRAM} NAME)
  message(FATAL_ERROR
    "${name} imports ${bad} at load time. Windows searches the program's own folder for such "
    "a DLL before any code of the program runs, so a DLL planted beside a downloaded launcher "
    "would be loaded. Bind the functions it needs at first call through "
    "framework/SystemLibrary.cpp (from the system folder only) instead; only a DLL that is a "
    "KnownDLL on every Windows from 7 on belongs in QUOR_KNOWN_DLLS (cmake/KnownDllImports.cmake).")
endif()
