# Script mode: fails when a linked program imports, at load time, a DLL that
# is not a KnownDLL (Windows would look for it beside the program first).
#   -DOBJDUMP=... -DPROGRAM=x.exe -DKNOWN=a,b,...
cmake_policy(VERSION 3.20)
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${PROGRAM}")
endif()
string(REPLACE "," ";" known "${KNOWN}")
# The load-time import table only (a delay-import table may follow it).
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
    "would be loaded. Add its import-library name to QUOR_DELAY_LOADED_DLLS in "
    "cmake/KnownDllImports.cmake (it is then loaded at first use from the system folder); "
    "only a DLL that is a KnownDLL on every Windows from 7 on belongs in QUOR_KNOWN_DLLS.")
endif()
