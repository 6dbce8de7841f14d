# Cross toolchain for the 32-bit Windows build (the simulator is a 32-bit
# Windows program).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# SSE arithmetic: the x87 keeps float products in extended precision, so a
# product truncated to an integer could come out one lower than on Linux.
# The plug-in refuses to build without it (core/float_evaluation.h).
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

# Tests of the Windows binaries run under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
