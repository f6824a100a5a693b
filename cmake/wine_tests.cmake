# Runs win32 tests under Wine: one prefix inside the build folder, a Wine
# session (persistent server, detached helpers) as a CTest fixture, and the
# environment every test needs.
set(TALLOW_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix of the tests")
# The prefix's kind follows the programs': the win64 check build needs a
# 64-bit prefix, and its loader is the emulator (see mingw64.cmake).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TALLOW_WINE_ARCH win64)
else()
  set(TALLOW_WINE_ARCH win32)
endif()
set(TALLOW_WINE_SESSION_ENV WINEPREFIX=${TALLOW_WINE_PREFIX} WINEARCH=${TALLOW_WINE_ARCH}
                            TALLOW_WINE=${CMAKE_CROSSCOMPILING_EMULATOR})

# tallow_wine_fixture(TEST...): the tests run in the Wine session, with the
# label wine (tools/test.sh runs only the others where no Wine can run).
function(tallow_wine_fixture)
  if(NOT TEST wine_session_start)
    add_test(NAME wine_session_start
      COMMAND env ${TALLOW_WINE_SESSION_ENV} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh start)
    add_test(NAME wine_session_stop
      COMMAND env ${TALLOW_WINE_SESSION_ENV} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh stop)
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180 LABELS wine)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 LABELS wine)
  endif()
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine
    ENVIRONMENT "WINEPREFIX=${TALLOW_WINE_PREFIX};WINEARCH=${TALLOW_WINE_ARCH};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;DISPLAY=")
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS wine)
endfunction()

# tallow_wine_program_test(NAME SOURCE... [SERIAL] [OWN_MAIN]): a GoogleTest
# program of its own over the engine (tests/wine/NAME.cpp and SOURCEs),
# statically linked, run under Wine as the test NAME and added to
# TALLOW_WINE_TESTS of the caller. SERIAL runs it alone (it types keys or
# takes the foreground); OWN_MAIN: the program has its own main.
function(tallow_wine_program_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "SERIAL;OWN_MAIN" "" "")
  add_executable(${name} ${CMAKE_CURRENT_SOURCE_DIR}/wine/${name}.cpp ${arg_UNPARSED_ARGUMENTS})
  if(arg_OWN_MAIN)
    target_link_libraries(${name} PRIVATE tallow_engine gtest)
  else()
    target_link_libraries(${name} PRIVATE tallow_engine ${TALLOW_GTEST})
  endif()
  target_link_options(${name} PRIVATE -static)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  if(arg_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
  set(TALLOW_WINE_TESTS ${TALLOW_WINE_TESTS} ${name} PARENT_SCOPE)
endfunction()

# tallow_wine_limit(TEST REASON): TEST meets a limit of Wine itself, not of
# Windows. It gets the label wine-limit, which tools/test.sh leaves out under
# Wine, naming TEST and REASON in its summary (from wine-limits.txt in the
# build folder, written by tallow_write_wine_limits).
function(tallow_wine_limit test reason)
  set_property(TEST ${test} APPEND PROPERTY LABELS wine-limit)
  set_property(GLOBAL APPEND PROPERTY TALLOW_WINE_LIMITS "${test}: ${reason}")
endfunction()

function(tallow_write_wine_limits)
  get_property(limits GLOBAL PROPERTY TALLOW_WINE_LIMITS)
  set(text "")
  foreach(line IN LISTS limits)
    string(APPEND text "${line}\n")
  endforeach()
  file(WRITE ${PROJECT_BINARY_DIR}/wine-limits.txt "${text}")
endfunction()
