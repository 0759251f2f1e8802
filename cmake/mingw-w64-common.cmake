# What both MinGW-w64 toolchains share; the including file sets
# SV_MINGW_ARCH (i686 or x86_64) and SV_MINGW_THREADS (win32 or posix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SV_MINGW_ARCH})
set(CMAKE_C_COMPILER ${SV_MINGW_ARCH}-w64-mingw32-gcc-${SV_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${SV_MINGW_ARCH}-w64-mingw32-g++-${SV_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${SV_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SV_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
