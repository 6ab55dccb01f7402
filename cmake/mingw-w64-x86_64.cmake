# Cross-compiling the Windows build on Debian with mingw-w64 (the posix thread model, which
# std::thread needs). Everything is linked statically, so the programs run on a bare Windows
# (or Wine) without the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FMS_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FMS_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FMS_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${FMS_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FMS_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests and tools run under Wine on the build machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
