# Cross toolchain for 64-bit Windows: a check build of the same sources, for
# machines whose Wine runs 64-bit programs only. The product is 32-bit (see
# mingw32.cmake); this build exists to run the windows' tests under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Debian's wine command takes the 32-bit loader whenever that is installed,
# even on a machine that cannot execute it: 64-bit programs go to the 64-bit
# loader directly where it can be found.
find_program(TALLOW_WINE64 NAMES wine64 PATHS /usr/lib/wine)
if(TALLOW_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TALLOW_WINE64})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
