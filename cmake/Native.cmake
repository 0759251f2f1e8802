# Native (Linux) build: the core against the in-memory platform, with the unit
# tests under AddressSanitizer and UndefinedBehaviorSanitizer.
option(SV_SANITIZE "Build with ASan and UBSan" ON)
# The fuzz preset (clang): the libFuzzer harnesses of tests/fuzz instead of
# the tests, everything instrumented for the fuzzer and the sanitizers.
option(SV_FUZZ "Build the libFuzzer harnesses" OFF)
if(SV_FUZZ)
  set(SV_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
  add_compile_options(${SV_FUZZ_FLAGS})
  target_compile_options(sv_core PRIVATE ${SV_FUZZ_FLAGS})
elseif(SV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  # The options above apply to targets made after this point; the core was
  # made before, so give it the same.
  target_compile_options(sv_core PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
endif()

file(GLOB SV_MEMORY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/memory/*.cpp)
add_library(sv_platform_memory STATIC ${SV_MEMORY_SOURCES} src/res/stringtable.cpp)
target_include_directories(sv_platform_memory PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(sv_platform_memory PUBLIC sv_core)

# KITPLAN's portable part: the kit lint, the dry-run platform, the plan, the
# verify and the rollup.
file(GLOB SV_PLAN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/plan/*.cpp)
add_library(sv_plan STATIC ${SV_PLAN_SOURCES})
target_link_libraries(sv_plan PUBLIC sv_platform_memory)

if(SV_FUZZ)
  file(GLOB SV_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${SV_FUZZERS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_compile_definitions(${name} PRIVATE SV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE sv_plan sv_platform_memory)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
  return()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB SV_NATIVE_TESTS CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/tests/native/*.cpp
  ${CMAKE_SOURCE_DIR}/tests/conformance/*.cpp)
add_executable(sv_native_tests ${SV_NATIVE_TESTS})
target_include_directories(sv_native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(sv_native_tests PRIVATE SV_TEST_MEMORY_PLATFORM=1 SV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(sv_native_tests PRIVATE sv_plan sv_platform_memory GTest::gtest)
gtest_discover_tests(sv_native_tests DISCOVERY_TIMEOUT 60)

# Every command the scripts run is one that scripts/ensure-tools.sh installs.
add_test(NAME command_list COMMAND bash ${CMAKE_SOURCE_DIR}/tests/native/command_list_test.sh ${CMAKE_SOURCE_DIR})

# Benchmarks are programs, not tests.
file(GLOB SV_BENCHES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${SV_BENCHES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE sv_platform_memory)
endforeach()

# The fault sweep: a whole uninstall with every platform call failing in turn.
# Slow; it carries the label "sweep".
add_executable(sv_sweep_tests tests/sweep/sweep_test.cpp)
target_include_directories(sv_sweep_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_compile_definitions(sv_sweep_tests PRIVATE SV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(sv_sweep_tests PRIVATE sv_plan sv_platform_memory GTest::gtest GTest::gtest_main)
gtest_discover_tests(sv_sweep_tests DISCOVERY_TIMEOUT 60 PROPERTIES LABELS sweep TIMEOUT 1800)
