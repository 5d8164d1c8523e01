# Cross-compiling for Windows with mingw-w64; test programs run under Wine.
#   VOSKO_MINGW_TRIPLE  i686-w64-mingw32 (the product: the 32-bit vosko.dll) or
#                       x86_64-w64-mingw32 (the same sources for 64-bit Windows, so the
#                       Windows tests also run where the kernel executes no 32-bit code)
# The posix thread model: GoogleTest needs std::mutex; -static keeps winpthread inside.
if(NOT VOSKO_MINGW_TRIPLE)
  set(VOSKO_MINGW_TRIPLE i686-w64-mingw32)
endif()
set(CMAKE_SYSTEM_NAME Windows)
if(VOSKO_MINGW_TRIPLE MATCHES "^x86_64")
  set(CMAKE_SYSTEM_PROCESSOR x86_64)
else()
  set(CMAKE_SYSTEM_PROCESSOR i686)
endif()
set(CMAKE_C_COMPILER ${VOSKO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VOSKO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VOSKO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VOSKO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
