# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# Usage: cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#              -DBRIMWELL_BUILD_UI=OFF
# or, with the Qt that scripts/build-qt-windows.sh built (its folder as QT below):
#              -DBRIMWELL_WINDOWS_QT=QT -DQT_HOST_PATH=/usr
#              -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
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

# CLI11 and nlohmann-json are headers only, the same for every target: the cross build takes
# this machine's Debian packages of them, through a prefix in the build folder that holds them
# and nothing else of this machine.
get_property(BRIMWELL_IN_TRY_COMPILE GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT BRIMWELL_IN_TRY_COMPILE)
  set(BRIMWELL_HEADER_ONLY_PREFIX ${CMAKE_BINARY_DIR}/header-only)
  foreach(entry include/CLI include/nlohmann share/cmake/CLI11 share/cmake/nlohmann_json)
    if(EXISTS /usr/${entry} AND NOT EXISTS ${BRIMWELL_HEADER_ONLY_PREFIX}/${entry})
      get_filename_component(parent ${BRIMWELL_HEADER_ONLY_PREFIX}/${entry} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK /usr/${entry} ${BRIMWELL_HEADER_ONLY_PREFIX}/${entry} SYMBOLIC)
    endif()
  endforeach()
  list(APPEND CMAKE_FIND_ROOT_PATH ${BRIMWELL_HEADER_ONLY_PREFIX})
endif()
# Qt for Windows lies outside the MinGW root; find_package looks into it as into that root.
if(BRIMWELL_WINDOWS_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${BRIMWELL_WINDOWS_QT})
endif()

# The compiler's runtime goes into each program, so that it starts without MinGW's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(BRIMWELL_WINE wine)
if(BRIMWELL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRIMWELL_WINE})
endif()
