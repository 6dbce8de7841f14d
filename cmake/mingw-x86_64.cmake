# Cross toolchain for the 64-bit Windows test build. The simulator is a 32-bit
# program (cmake/mingw-i686.cmake builds the artefact); this build runs the
# same Windows suite under wine64, which starts on machines whose kernel runs
# no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Tests of the Windows binaries run under the 64-bit wine loader.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
