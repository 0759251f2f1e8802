# Windows build (MinGW-w64): KITPURGE.EXE, the stand-ins and the Wine tests.
# Filled in by the Win32 platform work.
