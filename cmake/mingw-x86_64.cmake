# The same Windows sources built for 64-bit Windows. The product is the 32-bit vosko.dll;
# this tree exists so the Windows tests also run where the kernel cannot execute 32-bit
# code (IA-32 emulation off), under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VOSKO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VOSKO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOSKO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOSKO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VOSKO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
