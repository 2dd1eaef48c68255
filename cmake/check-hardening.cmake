# Fails unless the built program carries the protections of a hardened build, read back from the
# binary as a reviewer would; reports the x86 control-flow protection (CET) mark, never requires it.
# Usage, Linux:   cmake -DREADELF=readelf -DPROGRAM=swisslog-to-marigold -P check-hardening.cmake
#        Windows: cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DMAP=swisslog-to-marigold.map
#                       -DPROGRAM=swisslog-to-marigold.exe -P check-hardening.cmake
# LEFT_OUT lists protections the build leaves out on purpose (fortify), reported and not required.
cmake_minimum_required(VERSION 3.25)
if(NOT PROGRAM OR (NOT READELF AND NOT (OBJDUMP AND MAP)))
  message(FATAL_ERROR "Usage: cmake -DREADELF=<readelf> | -DOBJDUMP=<objdump> -DMAP=<link map>"
                      " -DPROGRAM=<program> [-DLEFT_OUT=fortify] -P check-hardening.cmake")
endif()
if(NOT EXISTS "${PROGRAM}")
  message(FATAL_ERROR "No program at ${PROGRAM}")
endif()

set(missing "")
# Reports one protection and notes it as missing unless FOUND or left out on purpose.
function(s2m_protection key label found detail)
  if(found)
    message(STATUS "  ${label}: yes${detail}")
  elseif(key IN_LIST LEFT_OUT)
    message(STATUS "  ${label}: left out by this build")
  else()
    message(STATUS "  ${label}: MISSING${detail}")
    set(missing ${missing} "${label}" PARENT_SCOPE)
  endif()
endfunction()

# Reads a tool's output; fails when the tool fails.
function(s2m_read out)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}): ${errors}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

message(STATUS "Protections of ${PROGRAM}:")
if(READELF)
  s2m_read(elf "${READELF}" -W --file-header --program-headers --dynamic --notes --dyn-syms "${PROGRAM}")
  if(NOT elf MATCHES "ELF Header:")
    message(FATAL_ERROR "${PROGRAM} is not an ELF program")
  endif()

  string(REGEX MATCH "Type: +DYN" pie "${elf}")
  s2m_protection(pie "position-independent (ASLR)" "${pie}" "")

  string(REGEX MATCH "GNU_RELRO" relro "${elf}")
  string(REGEX MATCH "\\((FLAGS|FLAGS_1)\\)[^\n]*[ :]NOW|\\((FLAGS)\\)[^\n]*BIND_NOW|\\(BIND_NOW\\)" now "${elf}")
  if(relro AND now)
    set(relro_detail " (GNU_RELRO, BIND_NOW)")
  elseif(relro)
    set(relro_detail ": partial (GNU_RELRO, no BIND_NOW)")
  else()
    set(relro_detail ": none")
  endif()
  if(relro AND now)
    s2m_protection(relro "read-only relocations" TRUE "${relro_detail}")
  else()
    s2m_protection(relro "read-only relocations" FALSE "${relro_detail}")
  endif()

  # Takes a stack without GNU_STACK, or one marked E, for an executable one.
  string(REGEX MATCH "GNU_STACK[^\n]* RWE? " stack "${elf}")
  if(stack MATCHES " RW $")
    s2m_protection(nx "non-executable stack" TRUE "")
  else()
    s2m_protection(nx "non-executable stack" FALSE "")
  endif()

  string(REGEX MATCH " __stack_chk_fail(@|\n)" ssp "${elf}")
  if(ssp)
    s2m_protection(ssp "stack protector" TRUE " (imports __stack_chk_fail)")
  else()
    s2m_protection(ssp "stack protector" FALSE " (__stack_chk_fail not imported)")
  endif()

  string(REGEX MATCHALL " __[A-Za-z0-9_]+_chk(@|\n)" checked "${elf}")
  list(TRANSFORM checked REPLACE "^ (.*)[@\n]$" "\\1")
  list(REMOVE_DUPLICATES checked)
  list(JOIN checked ", " checked_names)
  # Takes a plain call of the printf family for an unchecked one: at level 2 the C library's
  # checks replace every such call. A program with neither kind holds no call the checks apply to.
  string(REGEX MATCHALL " v?[dfs]?n?printf(@|\n)" unchecked "${elf}")
  list(TRANSFORM unchecked REPLACE "^ (.*)[@\n]$" "\\1")
  list(REMOVE_DUPLICATES unchecked)
  list(JOIN unchecked ", " unchecked_names)
  if(checked AND NOT unchecked)
    s2m_protection(fortify "checked string and memory calls" TRUE " (imports ${checked_names})")
  elseif(unchecked)
    s2m_protection(fortify "checked string and memory calls" FALSE " (imports ${unchecked_names} unchecked)")
  else()
    message(STATUS "  checked string and memory calls: no call the checks apply to")
  endif()

  # Reports the property note the linker keeps only when every object linked carries it.
  string(REGEX MATCH "x86 feature: [^\n]*" cet "${elf}")
  if(cet)
    message(STATUS "  control-flow protection (CET): ${cet} (reported, not required)")
  else()
    message(STATUS "  control-flow protection (CET): no mark (reported, not required)")
  endif()
else()
  s2m_read(pe "${OBJDUMP}" -p "${PROGRAM}")
  if(NOT pe MATCHES "DllCharacteristics")
    message(FATAL_ERROR "${PROGRAM} is not a Windows program")
  endif()
  # Reads the flags below DllCharacteristics, one an indented line.
  string(REGEX MATCH "DllCharacteristics[^\n]*\n([\t ]+[A-Z_]+\n)*" flags "${pe}")

  # Takes an image without its relocations for one Windows cannot move, whatever its flags.
  if(flags MATCHES "[\t ]DYNAMIC_BASE\n" AND NOT pe MATCHES "relocations stripped")
    s2m_protection(aslr "relocatable image (ASLR, DYNAMIC_BASE)" TRUE "")
  else()
    s2m_protection(aslr "relocatable image (ASLR, DYNAMIC_BASE)" FALSE "")
  endif()
  string(REGEX MATCH "[\t ]HIGH_ENTROPY_VA\n" high "${flags}")
  s2m_protection(high "high-entropy addresses (HIGH_ENTROPY_VA)" "${high}" "")
  string(REGEX MATCH "[\t ]NX_COMPAT\n" nx "${flags}")
  s2m_protection(nx "data execution prevention (NX_COMPAT)" "${nx}" "")

  # Reads the link map's cross references: libssp is linked into the stripped exe, so its
  # imports cannot show the checks; the map names each object that calls them.
  if(NOT EXISTS "${MAP}")
    message(FATAL_ERROR "No link map at ${MAP}: link the program again")
  endif()
  file(READ "${MAP}" map)
  string(FIND "${map}" "Cross Reference Table" cref_at)
  if(cref_at LESS 0)
    message(FATAL_ERROR "${MAP} holds no cross reference table (link with -Wl,--cref)")
  endif()
  string(SUBSTRING "${map}" ${cref_at} -1 cref)
  # Finds each symbol defined in libssp and called from elsewhere: a name, its definition, then
  # an indented line for each object that refers to it.
  string(REGEX MATCHALL "\n__[A-Za-z0-9_]+ +[^\n]*libssp\\.a\\([^\n]*\n +[^\n]+" used "${cref}")
  set(ssp "")
  set(checked "")
  foreach(entry IN LISTS used)
    string(REGEX MATCH "^\n(__[A-Za-z0-9_]+)" name "${entry}")
    set(name "${CMAKE_MATCH_1}")
    if(name STREQUAL "__stack_chk_fail")
      set(ssp TRUE)
    elseif(name MATCHES "_chk$")
      list(APPEND checked ${name})
    endif()
  endforeach()
  # Confirms that libssp's code is in the exe itself, where it reports a fault.
  file(STRINGS "${PROGRAM}" ssp_text REGEX "stack smashing detected" LIMIT_COUNT 1)
  if(ssp AND NOT ssp_text)
    message(FATAL_ERROR "${MAP} names libssp, but ${PROGRAM} does not hold it: is the map stale?")
  endif()
  if(ssp)
    s2m_protection(ssp "stack protector" TRUE " (calls __stack_chk_fail, libssp linked in)")
  else()
    s2m_protection(ssp "stack protector" FALSE " (no object calls __stack_chk_fail)")
  endif()
  # Finds no unchecked call to point at: mingw-w64 checks a call only where the compiler knows
  # the size of its destination, and leaves the others as they were.
  list(JOIN checked ", " checked_names)
  if(checked)
    s2m_protection(fortify "checked string and memory calls" TRUE " (calls ${checked_names})")
  else()
    message(STATUS "  checked string and memory calls: no call the checks apply to")
  endif()

  string(REGEX MATCH "CET_COMPAT" cet "${pe}")
  if(cet)
    message(STATUS "  control-flow protection (CET): CET_COMPAT (reported, not required)")
  else()
    message(STATUS "  control-flow protection (CET): no mark (reported, not required)")
  endif()
endif()

if(missing)
  list(JOIN missing ", " missing)
  message(FATAL_ERROR "${PROGRAM} lacks: ${missing}")
endif()
