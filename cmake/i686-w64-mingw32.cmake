# Cross-compiles for the 32-bit Windows the simulator runs on. The -posix
# compilers are used throughout because GoogleTest needs std::mutex, which the
# win32 thread model of MinGW does not provide; the gauge itself uses no threads,
# so the thread model never reaches Lumivane.gau.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs carry their runtime inside them, so Wine needs no WINEPATH into
# MinGW's folders (which would also hide a missing runtime DLL from us).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
