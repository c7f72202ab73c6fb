# Helpers shared by every folder: one static library per source folder and one
# test executable per test folder. Sources are picked up by glob so that adding
# a file needs no edit here.

option(OSTREL_UNITY_BUILD "Compile the sources of each library and test program in batches" ON)
set(OSTREL_UNITY_BATCH_SIZE 12 CACHE STRING "Sources per batch of a unity build")

# Standard headers most sources include, precompiled in every target.
set(OSTREL_PRECOMPILED_STD <algorithm> <atomic> <functional> <map> <memory> <mutex> <optional>
                           <string> <string_view> <vector>)

# ostrel_compile_fast(<target> [PRECOMPILE <headers...>])
# Compiles Target the way that keeps a cold build short: its sources in batches
# of OSTREL_UNITY_BATCH_SIZE files (headers and inline code are compiled once
# per batch, not once per file), and the standard headers above together with
# the given heavy ones precompiled once for the target. A source whose
# file-local names clash with another's keeps out of the batches with the
# source property SKIP_UNITY_BUILD_INCLUSION.
function(ostrel_compile_fast target)
  cmake_parse_arguments(ARG "" "" "PRECOMPILE" ${ARGN})
  if(OSTREL_UNITY_BUILD)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${OSTREL_UNITY_BATCH_SIZE})
  endif()
  target_precompile_headers(${target} PRIVATE ${OSTREL_PRECOMPILED_STD} ${ARG_PRECOMPILE})
endfunction()

# ostrel_add_library(<target> DEPENDS <targets...> [EXCLUDE <subfolders...>]
#                    [PRECOMPILE <headers...>])
# Builds every source below the current folder, except the excluded
# subfolders (targets of their own), into one static library, with the heavy
# third-party headers its sources include precompiled (ostrel_compile_fast).
function(ostrel_add_library target)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE;PRECOMPILE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(folder ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${folder}/")
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
  ostrel_compile_fast(${target} PRECOMPILE ${ARG_PRECOMPILE})
endfunction()

# ostrel_forbid_includes(<target> <path-prefix>)
# Fails the build of <target> while one of its sources includes a header under
# <path-prefix> (such as "platform/win/controls/"): a layer that must not know
# the layers above it. Checked again whenever one of those sources changes.
function(ostrel_forbid_includes target prefix)
  get_target_property(sources ${target} SOURCES)
  string(MAKE_C_IDENTIFIER "${prefix}" name)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_sources.txt)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_forbidden.stamp)
  string(REPLACE ";" "\n" lines "${sources}")
  file(CONFIGURE OUTPUT ${list_file} CONTENT "${lines}\n" @ONLY)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSOURCES=${list_file} -DPREFIX=${prefix} -DTARGET=${target}
            -P ${PROJECT_SOURCE_DIR}/cmake/ForbidIncludes.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${PROJECT_SOURCE_DIR}/cmake/ForbidIncludes.cmake
    COMMENT "Checking that ${target} includes nothing under ${prefix}"
    VERBATIM)
  add_custom_target(${target}_${name}_forbidden DEPENDS ${stamp})
  add_dependencies(${target} ${target}_${name}_forbidden)
endfunction()

# ostrel_add_tests(<target> DEPENDS <targets...> [EXCLUDE <subfolders...>] [SHARDS <n>] [XVFB])
# Builds every *.cpp below the current test folder, except the excluded
# subfolders (programs of their own), into one GoogleTest program with its
# version information (GoogleTest's headers precompiled, ostrel_compile_fast)
# and registers it with CTest (see ostrel_register_tests).
# Tests run with their own data folder and Qt's offscreen platform; with XVFB
# on a real X server instead (see ostrel_register_xvfb_tests).
function(ostrel_add_tests target)
  cmake_parse_arguments(ARG "XVFB" "SHARDS" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(folder ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${folder}/")
  endforeach()
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} ostrel_test_main GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE OSTREL_PRODUCT_NAME="${OSTREL_PRODUCT_NAME}"
                                               OSTREL_COMPANY_NAME="${OSTREL_COMPANY_NAME}")
  ostrel_compile_fast(${target} PRECOMPILE <gmock/gmock.h> <gtest/gtest.h>)
  # A test's class derives from its file-local fixture, which GCC flags once the
  # file is compiled in a batch rather than on its own.
  target_compile_options(${target} PRIVATE -Wno-subobject-linkage)
  ostrel_add_version_info(${target})
  if(ARG_XVFB)
    ostrel_register_xvfb_tests(${target})
  else()
    ostrel_register_tests(${target} ${ARG_SHARDS})
  endif()
endfunction()

# ostrel_register_tests(<target> [<shards>])
# A test program runs whole in one process: its tests in order, split into
# <shards> parts (GoogleTest's sharding) that run side by side when the
# program is long. A second entry, labelled "shuffled", runs the whole program
# in one process in a random order; GoogleTest prints the seed ("Randomizing
# tests' orders with a seed of N"), which --gtest_random_seed=N replays.
function(ostrel_register_tests target)
  set(shards 1)
  if(ARGC GREATER 1)
    set(shards ${ARGV1})
  endif()
  set(environment "QT_QPA_PLATFORM=offscreen;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  if(shards EQUAL 1)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 1200)
  else()
    math(EXPR last "${shards} - 1")
    foreach(index RANGE ${last})
      add_test(NAME ${target}.${index} COMMAND ${target})
      set_tests_properties(${target}.${index} PROPERTIES TIMEOUT 1200 ENVIRONMENT
                           "${environment};GTEST_TOTAL_SHARDS=${shards};GTEST_SHARD_INDEX=${index}")
    endforeach()
  endif()
  add_test(NAME ${target}.shuffled COMMAND ${target} --gtest_shuffle)
  set_tests_properties(${target}.shuffled PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 1200 LABELS shuffled)
endfunction()

# ostrel_register_xvfb_tests(<target>)
# A test program that talks to other programs through the X server (Qt's xcb
# platform) runs whole, in order and shuffled, each time on a fresh Xvfb
# server of its own; both entries are labelled "xvfb".
function(ostrel_register_xvfb_tests target)
  set(environment "QT_QPA_PLATFORM=xcb;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  set(server xvfb-run -a -s "-screen 0 1024x640x24")
  add_test(NAME ${target} COMMAND ${server} $<TARGET_FILE:${target}>)
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600 LABELS xvfb)
  add_test(NAME ${target}.shuffled COMMAND ${server} $<TARGET_FILE:${target}> --gtest_shuffle)
  set_tests_properties(${target}.shuffled PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600 LABELS "xvfb;shuffled")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
