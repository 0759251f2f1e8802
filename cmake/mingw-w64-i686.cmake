# Cross toolchain: MinGW-w64 for 32-bit Windows (NT 4.0 workstations are all
# 32-bit), static runtime.
set(SV_MINGW_ARCH i686)
# The win32 thread model: its runtime imports only what NT 4.0 exports.  The
# posix model's thread library brings in GetTickCount64 (Vista) and the
# vectored exception handler calls (XP), so a program built with it does not
# load on NT 4.0.
set(SV_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
