# Helpers shared by every folder: one static library per source folder and one
# test executable per test folder. Sources are picked up by glob so that adding
# a file needs no edit here.

# ostrel_add_library(<target> DEPENDS <targets...> [EXCLUDE <subfolders...>])
# Builds every source below the current folder, except the excluded
# subfolders (targets of their own), into one static library.
function(ostrel_add_library target)
  cmake_parse_arguments(ARG "" "" "DEPENDS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(folder ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${folder}/")
  endforeach()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
endfunction()

# ostrel_add_tests(<target> DEPENDS <targets...>)
# Builds every *.cpp below the current test folder into one GoogleTest program
# with its version information and registers its tests with CTest. Tests run
# with their own data folder and Qt's offscreen platform.
function(ostrel_add_tests target)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${target} ${sources})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${target} PRIVATE ${ARG_DEPENDS} ostrel_test_main GTest::gtest GTest::gmock)
  target_compile_definitions(${target} PRIVATE OSTREL_PRODUCT_NAME="${OSTREL_PRODUCT_NAME}"
                                               OSTREL_COMPANY_NAME="${OSTREL_COMPANY_NAME}")
  ostrel_add_version_info(${target})
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Resources.cmake)
