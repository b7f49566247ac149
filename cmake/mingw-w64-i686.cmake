# Cross build for 32-bit Windows (i686): the shipped build, which runs on 32- and 64-bit
# Windows alike.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
