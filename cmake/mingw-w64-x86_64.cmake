# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX thread
# model, which std::thread and Qt need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Libraries, headers and packages come from the target's root and the prefixes
# given (CMAKE_PREFIX_PATH: the Windows Qt), never from the host; programs run
# at build time come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The host's pkg-config would hand out Linux libraries (xcb, say).
set(PKG_CONFIG_EXECUTABLE "" CACHE FILEPATH "no pkg-config when cross-compiling" FORCE)
