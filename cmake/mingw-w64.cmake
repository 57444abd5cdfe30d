# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the -posix
# compilers, whose C++ runtime has std::thread). The Windows Qt is given as
# CMAKE_PREFIX_PATH; it is searched beside the MinGW sysroot, and programs
# (moc, rcc, lrelease) are taken from the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ryd_mingw x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ryd_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ryd_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${ryd_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ryd_mingw} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
