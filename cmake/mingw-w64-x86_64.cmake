# Cross-compiles for 64-bit Windows with Debian's MinGW-w64. The posix thread
# variant, since GoogleTest needs std::mutex. Use with -DQUILLOMAT_GUI=OFF:
# Debian has no Qt for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Headers, libraries and packages from the MinGW tree only, never the host's.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static, so the .exe files need no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

# Wine runs the tests, for ctest and for gtest_discover_tests, in a Wine
# folder of the build's own, quietly. Without address-space randomisation
# (setarch -R): with it, now and then a start fails to map Wine's shared
# data at the fixed address it needs, and the test fails unrun.
if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(QUILLOMAT_WINE NAMES wine64 wine PATHS /usr/lib/wine)
  find_program(QUILLOMAT_SETARCH setarch)
  if(QUILLOMAT_WINE)
    set(fixed_addresses)
    if(QUILLOMAT_SETARCH)
      set(fixed_addresses ${QUILLOMAT_SETARCH} -R)
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${CMAKE_BINARY_DIR}/wine WINEDEBUG=-all ${fixed_addresses} ${QUILLOMAT_WINE})
  endif()
endif()
