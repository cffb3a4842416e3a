# Target detection, third-party packages and the test registration helper.

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(KS_WINDOWS ON)
  set(KS_NATIVE OFF)
else()
  set(KS_WINDOWS OFF)
  set(KS_NATIVE ON)
endif()

add_compile_options(-Wall -Wextra -Wno-unused-parameter)
# Sources include each other by their path from the repository root
# ("framework/Forms_win.h", "skin/render/Bitmap32.h").
include_directories(${CMAKE_SOURCE_DIR})
if(KS_WINDOWS)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

if(KS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# --- third-party libraries -------------------------------------------------
set(ZLIB_USE_STATIC_LIBS ${KS_WINDOWS})
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(pugixml REQUIRED)
if(NOT TARGET pugixml::pugixml AND TARGET pugixml)
  add_library(pugixml::pugixml ALIAS pugixml)
endif()
find_package(Threads REQUIRED)
find_package(GTest REQUIRED)
if(NOT TARGET GTest::gmock AND TARGET GTest::gmock_main)
  add_library(GTest::gmock ALIAS GTest::gmock_main)
endif()
if(KS_NATIVE)
  find_package(benchmark QUIET)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PIXMAN IMPORTED_TARGET pixman-1)
endif()

include(GoogleTest)
enable_testing()

# --- Windows tests under Wine ----------------------------------------------
# Every Windows test, 32-bit or 64-bit, runs under Wine 10 (the tree that
# scripts/setup.sh prepares) with the test run's own Xvfb display and Wine
# prefix, both kept under the build folder (see cmake/wine-env.sh). On a
# machine whose kernel cannot run 32-bit code the 32-bit ones are skipped
# (exit code 77, with the reason).
set(KS_WINE_STATE_DIR ${CMAKE_BINARY_DIR}/wine)
set(KS_CAN_RUN_WINDOWS_TESTS OFF)
if(KS_WINDOWS AND NOT KS_TOOLS_ONLY)
  set(KS_CAN_RUN_WINDOWS_TESTS ON)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${KS_WINE_STATE_DIR})
  add_test(NAME wine_env_start COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh start ${KS_WINE_STATE_DIR})
  add_test(NAME wine_env_stop COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-env.sh stop ${KS_WINE_STATE_DIR})
  set_tests_properties(wine_env_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 600 LABELS windows)
  set_tests_properties(wine_env_stop PROPERTIES FIXTURES_CLEANUP wine LABELS windows)
endif()

# ks_add_test(<name> SOURCES ... LIBS ... [SERIAL])
# A GoogleTest program. Natively each case becomes a test; on Windows the whole
# program runs under Wine.
function(ks_add_test name)
  cmake_parse_arguments(T "SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  if(KS_NATIVE)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120 PROPERTIES LABELS native)
  elseif(KS_CAN_RUN_WINDOWS_TESTS)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine LABELS windows TIMEOUT 900
                         SKIP_RETURN_CODE 77)
    if(T_SERIAL)
      set_tests_properties(${name} PROPERTIES RUN_SERIAL ON)
    endif()
  endif()
endfunction()

# One naming rule for test sources: <Subject>Test.cpp is portable (built
# natively, and in the skin's folders also for Windows), <Subject>Test_win.cpp
# needs Windows and runs under Wine. Anything else in a test folder (shared
# fixtures, sample writers) is named by its folder's CMakeLists.txt.
# Sets KS_TESTS and KS_WIN_TESTS for the calling folder.
macro(ks_glob_tests)
  file(GLOB KS_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test.cpp)
  file(GLOB KS_WIN_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*Test_win.cpp)
endmacro()
