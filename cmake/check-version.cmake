# Fails unless the Windows program EXE shows VERSION, the project's, as
# FileVersion and ProductVersion, in numbers and in text, and in its manifest.
# Usage: cmake -DWINDRES=<windres> -DEXE=<program.exe> -DVERSION=1.0 -P check-version.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT WINDRES OR NOT EXE OR NOT VERSION)
  message(FATAL_ERROR "Usage: cmake -DWINDRES=<windres> -DEXE=<program.exe> -DVERSION=<x.y> -P check-version.cmake")
endif()
execute_process(COMMAND "${WINDRES}" -i "${EXE}" -O rc OUTPUT_VARIABLE rc RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${WINDRES} could not read the resources of ${EXE}: ${result}")
endif()

# Writes the version with four parts, 0 for each one it lacks.
string(REPLACE "." ";" parts "${VERSION}")
list(LENGTH parts count)
while(count LESS 4)
  list(APPEND parts 0)
  math(EXPR count "${count} + 1")
endwhile()
list(JOIN parts ", " numbers)
list(JOIN parts "." text)

# The manifest's quotes come doubled in windres' dump.
foreach(expected IN ITEMS "FILEVERSION ${numbers}" "PRODUCTVERSION ${numbers}"
                          "\"FileVersion\", \"${text}\"" "\"ProductVersion\", \"${text}\""
                          "name=\"\"swisslog-to-marigold\"\" version=\"\"${text}\"\"")
  string(FIND "${rc}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${EXE} does not show ${expected}; its resources read:\n${rc}")
  endif()
endforeach()
message(STATUS "${EXE} shows version ${text}")
