# Cross-compiles Pixlance for 64-bit Windows with mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PIXLANCE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PIXLANCE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIXLANCE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PIXLANCE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PIXLANCE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine through our wrapper (own prefix, virtual display).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
