# Runs win32 tests under Wine: one prefix inside the build folder, a Wine
# session (persistent server, detached helpers) as a CTest fixture, and the
# environment every test needs.
set(TALLOW_WINE_PREFIX ${PROJECT_BINARY_DIR}/wine-prefix CACHE PATH "Wine prefix of the tests")

function(tallow_wine_fixture)
  if(NOT TEST wine_session_start)
    add_test(NAME wine_session_start
      COMMAND env WINEPREFIX=${TALLOW_WINE_PREFIX} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh start)
    add_test(NAME wine_session_stop
      COMMAND env WINEPREFIX=${TALLOW_WINE_PREFIX} sh ${PROJECT_SOURCE_DIR}/cmake/wine_session.sh stop)
    set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 180 LABELS wine)
    set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 LABELS wine)
  endif()
  # The label lets tools/test.sh run only the others where Wine cannot run.
  set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED wine LABELS wine
    ENVIRONMENT "WINEPREFIX=${TALLOW_WINE_PREFIX};WINEARCH=win32;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;DISPLAY=")
endfunction()
