# Cross-builds one self-contained 64-bit Windows program with mingw-w64 and
# runs the programs it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(S2M_MINGW_PREFIX x86_64-w64-mingw32)
# Uses the POSIX thread model, which std::thread and std::mutex need.
set(CMAKE_C_COMPILER ${S2M_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${S2M_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${S2M_MINGW_PREFIX}-windres)
set(CMAKE_AR ${S2M_MINGW_PREFIX}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${S2M_MINGW_PREFIX}-ranlib CACHE FILEPATH "Archive indexer")
set(CMAKE_OBJDUMP ${S2M_MINGW_PREFIX}-objdump CACHE FILEPATH "Object dumper")

# Looks for libraries and headers only among the cross-built ones, programs only on the host.
set(CMAKE_FIND_ROOT_PATH /usr/${S2M_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Links libstdc++, libgcc and winpthread into every program, so it imports only Windows' own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Runs the built programs (tests, test discovery) under Wine in a prefix of the build tree's own.
find_program(S2M_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(S2M_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix the tests run in")
if(S2M_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all "WINEPREFIX=${S2M_WINEPREFIX}" ${S2M_WINE})
endif()
