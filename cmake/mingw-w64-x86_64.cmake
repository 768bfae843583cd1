# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# Usage: cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#              -DBRIMWELL_BUILD_UI=OFF
# CTest runs the built programs through wine (package wine) where it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BRIMWELL_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX-threads flavour, whose libstdc++ has std::thread and std::mutex.
set(CMAKE_C_COMPILER ${BRIMWELL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRIMWELL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRIMWELL_MINGW_TRIPLE}-windres)

# Libraries and headers for the target only; build tools from this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${BRIMWELL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's runtime goes into each program, so that it starts without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(BRIMWELL_WINE wine)
if(BRIMWELL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRIMWELL_WINE})
endif()
