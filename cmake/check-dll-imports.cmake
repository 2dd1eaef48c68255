# Fails unless the Windows program EXE imports only DLLs that come with Windows itself.
# Usage: cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DEXE=program.exe -P check-dll-imports.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT OBJDUMP OR NOT EXE)
  message(FATAL_ERROR "Usage: cmake -DOBJDUMP=<objdump> -DEXE=<program.exe> -P check-dll-imports.cmake")
endif()
if(NOT EXISTS "${EXE}")
  message(FATAL_ERROR "No program at ${EXE}")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${EXE}" OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed: ${result}")
endif()

# Lists the DLLs of Windows 10 a program of this kind may import, in lower case.
set(allowed
    advapi32.dll comctl32.dll comdlg32.dll dwmapi.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
    ole32.dll oleaut32.dll shcore.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll)

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${EXE} lists no imported DLL; is it a Windows program?")
endif()
set(foreign "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  # Accepts the API sets of the Universal C Runtime, which Windows 10 provides.
  if(lower IN_LIST allowed OR lower MATCHES "^api-ms-win-")
    message(STATUS "Imports ${dll}")
  else()
    list(APPEND foreign "${dll}")
  endif()
endforeach()
if(foreign)
  list(JOIN foreign ", " foreign)
  message(FATAL_ERROR "${EXE} imports DLLs that Windows does not provide: ${foreign}")
endif()
