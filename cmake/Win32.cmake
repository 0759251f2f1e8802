# Windows build (MinGW-w64, 32-bit): KITPURGE.EXE as shipped, KITPLAN.EXE,
# the stand-ins, the UI driver and the Wine tests.  Every program and DLL goes
# to build/win32/bin/.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  message(FATAL_ERROR "The Windows programs are 32-bit: configure with the win32 preset")
endif()
set(SV_BIN ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${SV_BIN})
set(SV_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)

# The Wine tests run the programs on a 32-bit-only prefix, like NT 4.0 (no
# syswow64, no registry redirection), under the 32-bit loader.  Where it
# cannot start, they fail and say so: scripts/ensure-tools.sh sets it up.
set(SV_WINE_LOADER /usr/lib/wine/wine)
execute_process(COMMAND ${SV_WINE_LOADER} --version RESULT_VARIABLE _wine_rc
  OUTPUT_QUIET ERROR_QUIET)
if(NOT _wine_rc EQUAL 0)
  message(WARNING "${SV_WINE_LOADER} does not run on this machine (${_wine_rc}): "
    "the Wine tests will fail until scripts/ensure-tools.sh has set up 32-bit Wine.")
endif()

# The NT 4.0 API level: calls that the headers guard by version do not
# compile.  MinGW's headers guard few (they declare SetFilePointerEx and an
# 88-byte OPENFILENAMEA whatever the level), so every import of the programs
# for a workstation is checked too (win32.imports below).
set(SV_NT4 WINVER=0x0400 _WIN32_WINNT=0x0400)

# --- The Win32 platform --------------------------------------------------------
file(GLOB SV_WIN32_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp)
add_library(sv_platform_win32 STATIC ${SV_WIN32_SOURCES})
target_include_directories(sv_platform_win32 PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(sv_platform_win32 PUBLIC ${SV_NT4})
target_link_libraries(sv_platform_win32 PUBLIC sv_core
  comctl32 comdlg32 shell32 ole32 mpr version advapi32 user32 gdi32)

# The program's resources (string table, version, dialogs, bitmaps).  Test
# programs carry them too, so that they load the same strings.
add_library(sv_resources OBJECT ${CMAKE_SOURCE_DIR}/src/res/kitpurge.rc)
target_include_directories(sv_resources PRIVATE ${CMAKE_SOURCE_DIR}/src/res ${CMAKE_SOURCE_DIR}/src)
file(GLOB SV_RESOURCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/res/*.inc
  ${CMAKE_SOURCE_DIR}/src/res/*.bmp ${CMAKE_SOURCE_DIR}/src/res/*.ico ${CMAKE_SOURCE_DIR}/src/res/*.h)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/res/kitpurge.rc APPEND PROPERTY OBJECT_DEPENDS
  ${SV_RESOURCE_FILES})

# --- KITPURGE.EXE --------------------------------------------------------------
file(GLOB SV_MAIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/main/*.cpp)
add_executable(kitpurge WIN32 ${SV_MAIN_SOURCES} $<TARGET_OBJECTS:sv_resources>)
set_target_properties(kitpurge PROPERTIES OUTPUT_NAME KITPURGE SUFFIX .EXE)
target_link_libraries(kitpurge PRIVATE sv_platform_win32 sv_core)

# --- KITPLAN.EXE ----------------------------------------------------------------
# The plan of an uninstall over the dry-run platform, and the kit lint.  The
# dry run keeps its model in the in-memory workstation's classes.
file(GLOB SV_MEMORY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/memory/*.cpp)
add_library(sv_platform_memory STATIC ${SV_MEMORY_SOURCES})
target_include_directories(sv_platform_memory PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(sv_platform_memory PUBLIC sv_core sv_stringtable)
file(GLOB SV_PLAN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/plan/*.cpp)
add_library(sv_plan STATIC ${SV_PLAN_SOURCES})
target_link_libraries(sv_plan PUBLIC sv_platform_memory)
add_executable(kitplan ${CMAKE_SOURCE_DIR}/src/platform/win32/kitplan/win32_kitplan.cpp
  $<TARGET_OBJECTS:sv_resources>)
set_target_properties(kitplan PROPERTIES OUTPUT_NAME KITPLAN SUFFIX .EXE)
target_link_libraries(kitplan PRIVATE sv_plan sv_platform_win32 sv_core)

# --- Stand-ins for the system's network library and the Sockets clean-up ----
function(sv_netcfg_standin target def dir)
  add_library(${target} SHARED ${CMAKE_SOURCE_DIR}/tools/netcfg_standin/netcfg_standin.cpp
    ${CMAKE_SOURCE_DIR}/tools/netcfg_standin/${def})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME NETCFG PREFIX "" SUFFIX .DLL
    RUNTIME_OUTPUT_DIRECTORY ${dir} ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib/${target})
  target_compile_definitions(${target} PRIVATE ${SV_NT4})
  # The entry points are WINAPI (stdcall) and exported by their plain names,
  # as the system's library does.
  target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
  target_link_libraries(${target} PRIVATE advapi32)
endfunction()
sv_netcfg_standin(netcfg_standin netcfg.def ${SV_BIN})
# The same library without one entry point, for the binding's failure test.
sv_netcfg_standin(netcfg_incomplete netcfg_incomplete.def ${SV_BIN}/incomplete)

add_executable(svs2tnst_standin WIN32 ${CMAKE_SOURCE_DIR}/tools/svs2tnst_standin/svs2tnst_standin.cpp)
set_target_properties(svs2tnst_standin PROPERTIES OUTPUT_NAME SVS2TNST SUFFIX .EXE)
target_compile_definitions(svs2tnst_standin PRIVATE ${SV_NT4})
target_link_libraries(svs2tnst_standin PRIVATE advapi32)

# --- Test and benchmark aids -------------------------------------------------
# HOLDFILE.EXE keeps a file open without sharing (a file in use for the demo
# and the tests); BENCHLOOP.EXE is the plain delete-and-log loop the uninstall
# benchmark compares against.
add_executable(holdfile WIN32 ${CMAKE_SOURCE_DIR}/tools/holdfile/holdfile.cpp)
set_target_properties(holdfile PROPERTIES OUTPUT_NAME HOLDFILE SUFFIX .EXE)
add_executable(bench_loop ${CMAKE_SOURCE_DIR}/tools/bench_loop/bench_loop.cpp)
set_target_properties(bench_loop PROPERTIES OUTPUT_NAME BENCHLOOP SUFFIX .EXE)

# --- UIDRIVER.EXE --------------------------------------------------------------
add_executable(uidriver ${CMAKE_SOURCE_DIR}/tools/uidriver/uidriver.cpp)
set_target_properties(uidriver PROPERTIES OUTPUT_NAME UIDRIVER SUFFIX .EXE)
target_link_libraries(uidriver PRIVATE user32 gdi32)

# --- Every import of the shipped programs exists on NT 4.0 ----------------------
add_test(NAME win32.imports COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/imports_test.sh
  ${CMAKE_OBJDUMP} ${CMAKE_SOURCE_DIR}/src/platform/win32/imports.txt
  $<TARGET_FILE:kitpurge> $<TARGET_FILE:kitplan> $<TARGET_FILE:netcfg_standin>
  $<TARGET_FILE:svs2tnst_standin>)

# --- GoogleTest for Windows ----------------------------------------------------
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(CMAKE_CXX_COMPILER MATCHES "-win32$")
  # The win32 thread model lacks what one gtest class needs; see the header.
  target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/cmake/gtest-win32)
endif()

# The string table compiled in, for tests that compare it with the resources.
add_library(sv_stringtable STATIC ${CMAKE_SOURCE_DIR}/src/res/stringtable.cpp)
target_include_directories(sv_stringtable PUBLIC ${CMAKE_SOURCE_DIR}/src)

# --- Wine tests ----------------------------------------------------------------
# sv_add_wine_test(NAME <name> COMMAND <exe-target | script> [ARGS ...]
#                  [FILES <file in bin> ...] [TIMEOUT <seconds>])
# registers the CTest test wine.<name>.  It runs through
# scripts/wine/run-test.sh on a fresh copy of the build tree's template Wine
# prefix, with a display (a private Xvfb when none is usable):
#  - a program target runs as C:\svtest\<program> (current directory
#    C:\svtest), with the FILES (paths relative to bin/, e.g. NETCFG.DLL or
#    incomplete/NETCFG.DLL) copied beside it;
#  - a shell script runs with WINEPREFIX, DISPLAY, SV_BIN, SV_SRC, SV_WORK and
#    the functions of scripts/wine/lib.sh (wine, uidriver, winpath, ...).
# The test's exit code is the program's.
set(SV_WINE_RUNNER ${CMAKE_SOURCE_DIR}/scripts/wine/run-test.sh)

add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine/make-template.sh ${SV_WINE_ROOT}/template)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP sv_wine_prefix TIMEOUT 600)

function(sv_add_wine_test)
  cmake_parse_arguments(T "" "NAME;COMMAND;TIMEOUT" "ARGS;FILES" ${ARGN})
  if(NOT T_NAME OR NOT T_COMMAND)
    message(FATAL_ERROR "sv_add_wine_test needs NAME and COMMAND")
  endif()
  if(TARGET ${T_COMMAND})
    set(command $<TARGET_FILE:${T_COMMAND}>)
  elseif(IS_ABSOLUTE ${T_COMMAND})
    set(command ${T_COMMAND})
  else()
    set(command ${CMAKE_SOURCE_DIR}/${T_COMMAND})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  string(REPLACE ";" " " files "${T_FILES}")
  add_test(NAME wine.${T_NAME} COMMAND ${SV_WINE_RUNNER} ${command} ${T_ARGS})
  set_tests_properties(wine.${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    FIXTURES_REQUIRED sv_wine_prefix
    ENVIRONMENT "SV_BIN=${SV_BIN};SV_SRC=${CMAKE_SOURCE_DIR};SV_WINE_ROOT=${SV_WINE_ROOT};SV_WINE_FILES=${files};SV_WINE_TIMEOUT=${T_TIMEOUT}")
endfunction()

# Files every C++ Wine test finds beside itself.
set(SV_WINE_TEST_FILES NETCFG.DLL SVS2TNST.EXE UIDRIVER.EXE incomplete/NETCFG.DLL)

# Every tests/wine/<name>_test.cpp is a gtest program <name>_test.exe carrying
# the program's resources; a tests/wine/<name>_test.rc beside it replaces
# them (it may #include "kitpurge.rc" to keep them).
file(GLOB SV_WINE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.cpp)
foreach(src ${SV_WINE_TEST_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  set(extra)
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wine/${name}.rc)
    set(extra ${CMAKE_SOURCE_DIR}/tests/wine/${name}.rc)
  else()
    set(extra $<TARGET_OBJECTS:sv_resources>)
  endif()
  add_executable(${name} ${src} ${extra})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src/res)
  target_link_libraries(${name} PRIVATE sv_platform_win32 sv_core sv_stringtable gtest_main)
  add_dependencies(${name} netcfg_standin netcfg_incomplete svs2tnst_standin uidriver)
  sv_add_wine_test(NAME ${name} COMMAND ${name} FILES ${SV_WINE_TEST_FILES})
endforeach()

# Every tests/wine/<name>_test.sh is a Wine test as it stands.
file(GLOB SV_WINE_TEST_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*_test.sh)
foreach(script ${SV_WINE_TEST_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  # The plan proofs snapshot the whole prefix three times.
  if(name MATCHES "^plan_")
    sv_add_wine_test(NAME ${name} COMMAND ${script} TIMEOUT 1200)
  else()
    sv_add_wine_test(NAME ${name} COMMAND ${script})
  endif()
endforeach()

# The conformance suite against the Win32 platform.
file(GLOB SV_CONFORMANCE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
if(SV_CONFORMANCE_SOURCES)
  add_executable(conformance_test ${SV_CONFORMANCE_SOURCES} $<TARGET_OBJECTS:sv_resources>)
  target_include_directories(conformance_test PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(conformance_test PRIVATE SV_TEST_WIN32_PLATFORM=1)
  target_link_libraries(conformance_test PRIVATE sv_platform_win32 sv_core gtest_main)
  sv_add_wine_test(NAME conformance COMMAND conformance_test)
endif()

# --- The platform headers refuse <windows.h>'s name macros ---------------------
# A file that includes <windows.h> before them must not build (its classes
# would have other member names than everywhere else).
foreach(probe platform sheet)
  add_test(NAME build.windows_macros_${probe}
    COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only -DSV_PROBE_${probe}
      -I${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests/build/windows_macros_probe.cpp)
  set_tests_properties(build.windows_macros_${probe} PROPERTIES
    PASS_REGULAR_EXPRESSION "name macros are defined")
endforeach()

# --- The release ------------------------------------------------------------------
# What reaches a workstation: the two programs and the administrators' text,
# in one archive, and nothing else (no stand-in, no test tool).
# scripts/release.sh copies it to dist/; release.archive checks it.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/res/kitpurge.rc _fileversion REGEX "^FILEVERSION ")
string(REGEX REPLACE "^FILEVERSION ([0-9]+),([0-9]+),([0-9]+),([0-9]+).*" "\\1.\\2.\\3.\\4"
  SV_VERSION "${_fileversion}")
set(SV_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(SV_RELEASE_ZIP ${SV_RELEASE_DIR}/kitpurge-${SV_VERSION}.zip)
configure_file(${CMAKE_SOURCE_DIR}/release/README.TXT ${SV_RELEASE_DIR}/text/README.TXT
  @ONLY NEWLINE_STYLE CRLF)
add_custom_command(OUTPUT ${SV_RELEASE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${SV_RELEASE_DIR}/files
  COMMAND ${CMAKE_COMMAND} -E make_directory ${SV_RELEASE_DIR}/files
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kitpurge> $<TARGET_FILE:kitplan>
    ${SV_RELEASE_DIR}/text/README.TXT ${SV_RELEASE_DIR}/files/
  COMMAND ${CMAKE_COMMAND} -E chdir ${SV_RELEASE_DIR}/files
    ${CMAKE_COMMAND} -E tar cf ${SV_RELEASE_ZIP} --format=zip KITPURGE.EXE KITPLAN.EXE README.TXT
  DEPENDS kitpurge kitplan ${SV_RELEASE_DIR}/text/README.TXT
  COMMENT "The release archive kitpurge-${SV_VERSION}.zip")
add_custom_target(release ALL DEPENDS ${SV_RELEASE_ZIP})
add_test(NAME release.archive COMMAND ${CMAKE_SOURCE_DIR}/tests/win32/release_test.sh
  ${CMAKE_COMMAND} ${CMAKE_OBJDUMP} ${CMAKE_SOURCE_DIR}/src/platform/win32/imports.txt
  ${SV_RELEASE_ZIP} $<TARGET_FILE:kitpurge> $<TARGET_FILE:kitplan>)
