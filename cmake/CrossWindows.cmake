# The Windows cross build (cmake/mingw-w64.cmake) and the Wine run of its tests.

if(CMAKE_CROSSCOMPILING AND WIN32)
    set(VARNAK_CROSS_WINDOWS ON)
    set(VARNAK_BENCH OFF CACHE BOOL "Build the benchmarks" FORCE)
endif()

# Cross build: GoogleTest has no mingw package, so it is built from the sources that
# Debian's libgtest-dev ships.
macro(varnak_cross_googletest)
    set(VARNAK_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VARNAK_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest_main ALIAS gtest_main)
    endif()
endmacro()

# Native build: builds the Windows test executables in <build>/windows and runs them under
# wine64 as one CTest test, on a virtual display of their own (Xvfb), with one Wine prefix in
# <build>/wine-prefix: the backend-independent suites, then those on the Win32 backend, then
# varnak-explain.exe on the worked examples.
function(varnak_wine_tests)
    option(VARNAK_WINE_TESTS "Run the Windows test executable under Wine" ON)
    if(VARNAK_CROSS_WINDOWS OR NOT VARNAK_WINE_TESTS)
        return()
    endif()
    find_program(VARNAK_MINGW_CXX x86_64-w64-mingw32-g++-posix)
    find_program(VARNAK_WINE64 wine64 PATHS /usr/lib/wine)
    if(NOT VARNAK_MINGW_CXX OR NOT VARNAK_WINE64)
        message(WARNING "mingw-w64 or wine64 missing: the Wine tests are left out")
        return()
    endif()
    include(ExternalProject)
    ExternalProject_Add(varnak_windows
        SOURCE_DIR ${PROJECT_SOURCE_DIR}
        BINARY_DIR ${CMAKE_BINARY_DIR}/windows
        CMAKE_GENERATOR Ninja
        CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64.cmake
                   -DCMAKE_BUILD_TYPE=Release
                   -DVARNAK_WERROR=${VARNAK_WERROR}
        BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR>
                      --target varnak_wine_tests varnak_win32_tests varnak varnak_screenshots
                               varnak-explain
        INSTALL_COMMAND ""
        BUILD_ALWAYS ON
        USES_TERMINAL_BUILD ON)
    # varnak.exe as it ships carries no test code (see tests/app/no-test-code.sh).
    find_program(VARNAK_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
    add_test(NAME shipped_exe_has_no_test_code
             COMMAND ${PROJECT_SOURCE_DIR}/tests/app/no-test-code.sh windows
                     ${VARNAK_MINGW_OBJDUMP} ${CMAKE_BINARY_DIR}/windows/app/win32/varnak.exe)
    add_test(NAME wine_tests
             COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-display.sh ${VARNAK_WINE64}
                     ${CMAKE_BINARY_DIR}/wine-prefix
                     ${CMAKE_BINARY_DIR}/windows/tests/varnak_wine_tests.exe
                     ${CMAKE_BINARY_DIR}/windows/tests/toolkit/win32/varnak_win32_tests.exe
                     -- ${PROJECT_SOURCE_DIR}/tests/explain/check-explain.sh
                        ${PROJECT_SOURCE_DIR}/tests/explain/golden
                        ${VARNAK_WINE64} ${CMAKE_BINARY_DIR}/windows/bin/varnak-explain.exe)
endfunction()
