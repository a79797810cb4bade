# Cross-build for 64-bit Windows with Debian's mingw-w64 compilers. The -posix
# variants use the POSIX thread model, which GoogleTest's threads need.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNEL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNEL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNEL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program is one self-contained exe: no libgcc, libstdc++ or
# libwinpthread DLL has to travel with it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs (and GoogleTest's discovery) run through Wine, with a Wine
# prefix of the build tree's own.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine-run ${CMAKE_BINARY_DIR}/wineprefix)
