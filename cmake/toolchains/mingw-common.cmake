# Shared part of the Windows toolchains: included by mingw-x86_64.cmake and mingw-i686.cmake after they
# set CORVANE_MINGW_TRIPLE. Debian's posix-thread compilers, because the win32-thread ones have no
# std::thread or std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANE_MINGW_TRIPLE}-windres)

# Headers, libraries and CMake packages come from the MinGW tree only, never from the host's /usr;
# programs (the code generators, sh) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config would answer with the host's .pc files.
unset(ENV{PKG_CONFIG_PATH})
set(ENV{PKG_CONFIG_LIBDIR} "")

# The C and C++ runtimes of GCC go into each binary, so ostrel.dll and the programs need nothing beside
# them but what every Windows has (KERNEL32.dll, msvcrt.dll). The programs also take winpthread in
# statically (-static), which the posix-thread libstdc++ would otherwise load as libwinpthread-1.dll.
set(_corvane_static_runtime "-static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_corvane_static_runtime} -static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_corvane_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_corvane_static_runtime}")

# ctest runs the .exe programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
