# The Windows builds: the 32-bit artefact (cmake/mingw-i686.cmake) and the
# 64-bit test build (cmake/mingw-x86_64.cmake), each the plug-in DLL, the
# stand-in host and the Windows test programs. Common C++ comes from the
# static cross build that scripts/setup_windows leaves in <build>/deps.
if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
  message(FATAL_ERROR "use cmake/mingw-i686.cmake or cmake/mingw-x86_64.cmake")
endif()

set(TALVIX_WIN_DEPS ${CMAKE_BINARY_DIR}/deps CACHE PATH
    "Cross-built GNU uCommon/Common C++ (scripts/setup_windows)")
if(NOT EXISTS ${TALVIX_WIN_DEPS}/lib/libcommoncpp.a)
  message(FATAL_ERROR "no Common C++ in ${TALVIX_WIN_DEPS}: run scripts/setup --windows")
endif()

# The simulator loads one self-contained DLL: no MinGW runtime DLLs beside it.
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(talvix_commoncpp INTERFACE)
target_include_directories(talvix_commoncpp SYSTEM INTERFACE ${TALVIX_WIN_DEPS}/include)
target_compile_definitions(talvix_commoncpp INTERFACE UCOMMON_STATIC UCOMMON_WINPTHREAD)
target_link_libraries(talvix_commoncpp INTERFACE
  ${TALVIX_WIN_DEPS}/lib/libcommoncpp.a ${TALVIX_WIN_DEPS}/lib/libucommon.a
  ws2_32 iphlpapi advapi32 crypt32 user32)

# sim/ asks for nlohmann_json as a package; the build machine's config would
# point the cross compiler at /usr/include.
set(nlohmann_json_DIR ${CMAKE_SOURCE_DIR}/cmake/windows/nlohmann_json CACHE PATH "" FORCE)

# Programs of tests/windows, run under wine by scripts/test_windows.
set(TALVIX_WIN_TESTS ${CMAKE_SOURCE_DIR}/tests/windows)
add_executable(roger_stub ${TALVIX_WIN_TESTS}/roger_stub.cpp)
add_executable(platform_services_test
  ${TALVIX_WIN_TESTS}/platform_services_test.cpp
  ${CMAKE_SOURCE_DIR}/platform/platform_win32.cpp)
target_include_directories(platform_services_test PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(platform_services_test PRIVATE ws2_32)
add_executable(toolchain_probe ${TALVIX_WIN_TESTS}/toolchain_probe.cpp)
target_link_libraries(toolchain_probe PRIVATE talvix_commoncpp)
add_executable(refused_connect_test ${TALVIX_WIN_TESTS}/refused_connect_test.cpp)
target_link_libraries(refused_connect_test PRIVATE talvix_commoncpp)
set_target_properties(roger_stub platform_services_test toolchain_probe
  refused_connect_test PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
# The stand-in for the voice program's remote-control library, exported
# undecorated ("tsrConnect", not "tsrConnect@4") as the real one is.
add_library(TSRemote SHARED ${TALVIX_WIN_TESTS}/tsremote_stub.cpp)
target_link_options(TSRemote PRIVATE -Wl,--kill-at)
set_target_properties(TSRemote PROPERTIES PREFIX "" OUTPUT_NAME TSRemote
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
