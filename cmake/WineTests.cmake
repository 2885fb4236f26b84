# Windows test programs, cross-built with mingw-w64 and run by CTest under Wine.
#
# Each program gets a Wine prefix of its own under the build tree, cloned from one template
# prefix (made once, about 7 s) so that programs can run side by side and each can have its
# own drives. Programs with windows share one Xvfb display.

# GoogleTest from Debian's sources, built with the cross compiler.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Windows threads, not winpthreads: what gtest itself picks on Windows.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
# Its own CMake file names the targets GTest::gtest and GTest::gtest_main, as find_package does.
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# Test code is built with light optimisation: GoogleTest's macros make -O3 builds slow (gtest-all
# takes twice as long), while the code under test keeps the program's own flags.
set(VELK_TEST_OPTIMISATION -O1)
target_compile_options(gtest PRIVATE ${VELK_TEST_OPTIMISATION})
target_compile_options(gtest_main PRIVATE ${VELK_TEST_OPTIMISATION})

set(VELK_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(VELK_WINE_TOOLS ${PROJECT_SOURCE_DIR}/tests/wine)
set(VELK_WINESERVER /usr/lib/wine/wineserver64)
# A display number per build tree, away from the low numbers xvfb-run -a hands out.
string(MD5 _velk_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_velk_hash}" 0 3 _velk_hash)
math(EXPR VELK_WINE_DISPLAY "0x${_velk_hash} % 700 + 200")

add_test(NAME wine_template
         COMMAND bash ${VELK_WINE_TOOLS}/wine-prefix.sh template ${VELK_WINE_DIR}/template)
set_tests_properties(wine_template PROPERTIES FIXTURES_SETUP wine_template TIMEOUT 300
                     LABELS wine RESOURCE_LOCK wine_template)
add_test(NAME wine_display_start
         COMMAND bash ${VELK_WINE_TOOLS}/display.sh start ${VELK_WINE_DISPLAY} ${VELK_WINE_DIR})
add_test(NAME wine_display_stop
         COMMAND bash ${VELK_WINE_TOOLS}/display.sh stop ${VELK_WINE_DISPLAY} ${VELK_WINE_DIR})
set_tests_properties(wine_display_start PROPERTIES FIXTURES_SETUP wine_display LABELS wine)
set_tests_properties(wine_display_stop PROPERTIES FIXTURES_CLEANUP wine_display LABELS wine)

# velk_add_wine_test(<name> COMMAND <program or target> [args...]
#                    [DRIVES <letter>=<type>:<unix folder>[:<tmpfs bytes>] ...] [WINDOW])
# Registers a command that runs under Wine in the prefix ${VELK_WINE_DIR}/<name>, made before
# it with the given drives (see tests/wine/wine-prefix.sh) and taken down after it. A target
# as the first word of COMMAND is run through the Wine loader. WINDOW gives it the display.
# The test's environment has VELK_WINE_PREFIX and VELK_WINE_DRIVES_<LETTER> (the unix folder).
function(velk_add_wine_test name)
  cmake_parse_arguments(W "WINDOW" "" "COMMAND;DRIVES" ${ARGN})
  set(prefix ${VELK_WINE_DIR}/${name})
  set(env WINEPREFIX=${prefix} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
          VELK_WINE_PREFIX=${prefix} LANG=C.UTF-8)
  foreach(drive IN LISTS W_DRIVES)
    string(REGEX MATCH "^([a-z])=[a-z]+:([^:]+)" _ "${drive}")
    string(TOUPPER "${CMAKE_MATCH_1}" letter)
    list(APPEND env VELK_WINE_DRIVE_${letter}=${CMAKE_MATCH_2})
  endforeach()
  set(fixtures ${name}_prefix)
  if(W_WINDOW)
    list(APPEND env DISPLAY=:${VELK_WINE_DISPLAY})
    list(APPEND fixtures wine_display)
  else()
    list(APPEND env DISPLAY=)
  endif()

  get_property(excluded GLOBAL PROPERTY VELK_WINE_EXCLUDED_${name})
  if(excluded)
    list(JOIN excluded ":" filter)
    list(APPEND env "GTEST_FILTER=-${filter}")
  endif()

  add_test(NAME ${name} COMMAND ${W_COMMAND})
  add_test(NAME ${name}_prefix
           COMMAND bash ${VELK_WINE_TOOLS}/wine-prefix.sh make ${prefix} ${VELK_WINE_DIR}/template
                   ${W_DRIVES})
  add_test(NAME ${name}_cleanup
           COMMAND bash ${VELK_WINE_TOOLS}/wine-prefix.sh remove ${prefix} ${W_DRIVES})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" FIXTURES_REQUIRED "${fixtures}"
                       LABELS wine TIMEOUT 300)
  set_tests_properties(${name}_prefix PROPERTIES FIXTURES_SETUP ${name}_prefix
                       FIXTURES_REQUIRED wine_template LABELS wine TIMEOUT 120)
  set_tests_properties(${name}_cleanup PROPERTIES FIXTURES_CLEANUP ${name}_prefix LABELS wine)
endfunction()

# velk_add_wine_gtest(<name> SOURCES ... [LIBS ...] [ARGS ...] [DRIVES ...] [WINDOW] [CONSOLE])
# A GoogleTest program for Windows, run under Wine; CONSOLE runs it in a console of its own
# (tests/wine/console.sh).
function(velk_add_wine_gtest name)
  cmake_parse_arguments(T "WINDOW;CONSOLE" "" "SOURCES;LIBS;ARGS;DRIVES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_compile_options(${name} PRIVATE ${VELK_TEST_OPTIMISATION})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  set(window)
  if(T_WINDOW)
    set(window WINDOW)
  endif()
  set(command ${name})
  if(T_CONSOLE)
    set(command bash ${VELK_WINE_TOOLS}/console.sh $<TARGET_FILE:${name}>)
  endif()
  velk_add_wine_test(${name} COMMAND ${command} ${T_ARGS} DRIVES ${T_DRIVES} ${window})
endfunction()

# velk_wine_exclude(<test> <gtest case> ...): leaves the cases out of the test's run under
# Wine (through GTEST_FILTER, which the program prints when it starts). Called before the
# test is added.
function(velk_wine_exclude test)
  set_property(GLOBAL APPEND PROPERTY VELK_WINE_EXCLUDED_${test} ${ARGN})
endfunction()
