# Cross-compiling for 32-bit Windows with mingw-w64; test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VOSKO_TRIPLE i686-w64-mingw32)
# The posix thread model: GoogleTest needs std::mutex; -static keeps winpthread inside.
set(CMAKE_C_COMPILER ${VOSKO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOSKO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOSKO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VOSKO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
