# Shared build rules: warnings, the three kinds of target and the test kinds.
#
#   VIVARO_WINDOWS     building Win32 binaries (win64 and win32 presets)
#   VIVARO_NATIVE      building on and for the Linux host (native preset)
#   VIVARO_WINE_TESTS  Win32 binaries that ctest runs under wine64 (win64)

if(WIN32)
  set(VIVARO_WINDOWS ON)
  set(VIVARO_NATIVE OFF)
else()
  set(VIVARO_WINDOWS OFF)
  set(VIVARO_NATIVE ON)
endif()

if(VIVARO_WINDOWS AND CMAKE_SIZEOF_VOID_P EQUAL 8 AND CMAKE_CROSSCOMPILING_EMULATOR)
  set(VIVARO_WINE_TESTS ON)
else()
  set(VIVARO_WINE_TESTS OFF)
endif()

# The scanner emulator inside the data source, chosen by ZVP4_EMULATOR:
# on for the builds that are tested, off for the release build.
option(VIVARO_SCANNER_EMULATOR "Build the scanner emulator into the data source" ON)
# The uninstaller's trace file named by VIVARO_TRACE_FILE, which its whole-
# program tests read: on for the builds that are tested, off for the release
# build.
option(VIVARO_UNINSTALLER_TRACE_FILE "Let the uninstaller append its trace to the file VIVARO_TRACE_FILE names" ON)

option(VIVARO_SANITIZE "Build native code with AddressSanitizer and UBSan" OFF)

if(VIVARO_NATIVE AND VIVARO_SANITIZE)
  # float-cast-overflow is not part of GCC's "undefined" group; values from
  # applications and files reach such conversions.
  add_compile_options(-fsanitize=address,undefined,float-cast-overflow -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined,float-cast-overflow)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()

if(VIVARO_WINDOWS)
  # Plain Win32 programs: ANSI entry points unless a file asks for wide
  # calls explicitly, no MinGW runtime DLLs next to the binaries.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
  add_link_options(-static -static-libgcc -static-libstdc++)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")
endif()

function(vivaro_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# A library of portable code: no <windows.h>, builds everywhere.
function(vivaro_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;INCLUDES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  vivaro_warnings(${name})
  if(ARG_INCLUDES)
    target_include_directories(${name} PUBLIC ${ARG_INCLUDES})
  else()
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# A GoogleTest suite of portable code, run natively (under the sanitizers
# in the native preset). Each test case becomes its own ctest entry.
function(vivaro_native_test name)
  if(NOT VIVARO_NATIVE)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  vivaro_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
endfunction()

# A GoogleTest suite of Win32 code, run as one ctest entry under wine64
# inside the build folder's prefix, with the Xvfb display up.
#   GUI   the suite opens windows: run it alone, not beside other GUI suites
function(vivaro_wine_test name)
  if(NOT VIVARO_WINE_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  vivaro_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} vivaro_gtest_win)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine_session
    LABELS wine
    TIMEOUT ${ARG_TIMEOUT}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(ARG_GUI)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()

# Every executable and DLL lands in one folder so that programs find the
# DLLs they load (the source's support library, the spooler layer) beside them.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin CACHE PATH "" FORCE)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin CACHE PATH "" FORCE)

if(VIVARO_NATIVE)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  find_package(benchmark QUIET)
elseif(VIVARO_WINE_TESTS)
  # Debian ships GoogleTest as source; build it for Windows here.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(vivaro_gtest_win INTERFACE)
  target_link_libraries(vivaro_gtest_win INTERFACE gtest gtest_main gmock)
endif()

# A libFuzzer target: HARNESS defines LLVMFuzzerTestOneInput and checks its
# properties with FUZZ_CHECK. Declared in a folder's fuzz/ room, whose
# corpus/NAME holds the starting corpus and regressions/NAME the findings; the native
# preset replays both as a test (CORPUS and REGRESSIONS name other folders).
# The clang build of scripts/fuzz.sh (VIVARO_FUZZ) builds the fuzzer itself
# and lists it, with corpus, dictionary and input limit, in fuzz-targets.txt.
option(VIVARO_FUZZ "Build the libFuzzer targets (clang, sanitizer flags set by scripts/fuzz.sh)" OFF)

function(vivaro_fuzz_target name)
  if(NOT VIVARO_NATIVE)
    return()
  endif()
  cmake_parse_arguments(ARG "" "HARNESS;MAX_LEN;DICTIONARY;CORPUS;REGRESSIONS" "LIBS" ${ARGN})
  if(NOT ARG_CORPUS)
    set(ARG_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  if(NOT ARG_REGRESSIONS)
    set(ARG_REGRESSIONS ${CMAKE_CURRENT_SOURCE_DIR}/regressions/${name})
  endif()
  if(NOT ARG_MAX_LEN)
    set(ARG_MAX_LEN 4096)
  endif()
  if(ARG_DICTIONARY)
    set(ARG_DICTIONARY ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DICTIONARY})
  else()
    set(ARG_DICTIONARY "-")
  endif()
  add_executable(${name}_replay ${ARG_HARNESS} ${PROJECT_SOURCE_DIR}/tools/fuzzing/ReplayFolders.cpp)
  vivaro_warnings(${name}_replay)
  target_link_libraries(${name}_replay PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}_replay TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
  target_include_directories(${name}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tools/fuzzing)
  target_compile_definitions(${name}_replay PRIVATE
    FUZZ_CORPUS_DIR="${ARG_CORPUS}" FUZZ_REGRESSIONS_DIR="${ARG_REGRESSIONS}")
  if(VIVARO_FUZZ)
    add_executable(${name} ${ARG_HARNESS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tools/fuzzing)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY VIVARO_FUZZ_TARGETS
      "${name}\t${ARG_CORPUS}\t${ARG_REGRESSIONS}\t${ARG_DICTIONARY}\t${ARG_MAX_LEN}")
  endif()
endfunction()

# One line per fuzz target for scripts/fuzz.sh: name, corpus, regressions,
# dictionary ("-" for none) and the longest input, tab-separated.
function(vivaro_write_fuzz_target_list)
  if(VIVARO_FUZZ)
    get_property(targets GLOBAL PROPERTY VIVARO_FUZZ_TARGETS)
    list(JOIN targets "\n" lines)
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-targets.txt "${lines}\n")
  endif()
endfunction()
