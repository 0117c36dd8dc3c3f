# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads), linked statically so
# that the executables need no runtime DLLs of the compiler, e.g. under Wine:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# -DVARNAK_MINGW_ARCH=i686 builds for 32-bit Windows instead.
set(VARNAK_MINGW_ARCH x86_64 CACHE STRING "x86_64 or i686")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VARNAK_MINGW_ARCH})

set(VARNAK_MINGW_PREFIX ${VARNAK_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNAK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNAK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNAK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNAK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 API level; windows.h without its min/max macros.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DNOMINMAX -DWIN32_LEAN_AND_MEAN")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DNOMINMAX -DWIN32_LEAN_AND_MEAN")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
