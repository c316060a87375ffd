# cmake -DOBJDUMP=... -DEXE=... -P check-imports.cmake: fails when EXE imports a library that
# Windows would look for in the program's own folder first. Only its known libraries (those of
# KnownDLLs in Windows 7 as in Windows 11) may stand in an import table, and comctl32, which the
# manifest's side-by-side assembly names; any other is loaded from the system folder at run time
# (src/common/systemlibrary.h).
cmake_minimum_required(VERSION 3.21)
set(known advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz nsi
    ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32 ntdll
    comctl32)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
foreach(import IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^ ]+)\\.[dD][lL][lL].*" "\\1" name "${import}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST known)
    message(FATAL_ERROR "${EXE} imports ${name}.dll, which Windows looks for beside the program "
                        "first: load it from the system folder (systemlibrary.h) instead")
  endif()
endforeach()
