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

function(tallow_wine_fixture)
  if(NOT TEST wine_session_start)
    add_test(NAME wine_session_start
      COMMAND env ${TALLOW_WINE_SESSION_ENV} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh start)
    add_test(NAME wine_session_stop
      COMMAND env ${TALLOW_WINE_SESSION_ENV} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh stop)
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180 LABELS wine)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 LABELS wine)
  endif()
  # The label lets tools/test.sh run only the others where Wine cannot run.
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine LABELS wine
    ENVIRONMENT "WINEPREFIX=${TALLOW_WINE_PREFIX};WINEARCH=${TALLOW_WINE_ARCH};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;DISPLAY=")
endfunction()
