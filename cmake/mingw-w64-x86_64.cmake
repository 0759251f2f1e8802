# Cross toolchain: MinGW-w64 for 64-bit Windows, static runtime.  The program
# ships as 32-bit (mingw-w64-i686.cmake); this build only runs the Wine tests
# on machines whose kernel cannot run 32-bit code, where 32-bit Wine cannot
# start.
set(SV_MINGW_ARCH x86_64)
# The posix thread model: std::mutex and std::thread exist (GoogleTest needs
# them); -static links its thread library in.
set(SV_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
