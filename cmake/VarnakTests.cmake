# varnak_test_suite(<name> SOURCES <files...> LIBS <targets...> [WINE])
#
# Natively: one GoogleTest executable, its tests registered one by one with CTest.
# In the Windows cross build: suites marked WINE are gathered into the one executable that
# runs under Wine (varnak_wine_tests), created by varnak_wine_test_executable(); to run a
# suite under Wine as well, mark it WINE.
function(varnak_test_suite name)
    cmake_parse_arguments(SUITE "WINE" "" "SOURCES;LIBS" ${ARGN})
    list(TRANSFORM SUITE_SOURCES PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
    if(VARNAK_CROSS_WINDOWS)
        # Kept per suite too, for the executables that run a suite on another backend.
        set_property(GLOBAL PROPERTY VARNAK_SUITE_${name}_SOURCES ${SUITE_SOURCES})
        if(SUITE_WINE)
            set_property(GLOBAL APPEND PROPERTY VARNAK_WINE_SOURCES ${SUITE_SOURCES})
            set_property(GLOBAL APPEND PROPERTY VARNAK_WINE_LIBS ${SUITE_LIBS})
        endif()
        return()
    endif()
    add_executable(${name} ${SUITE_SOURCES})
    target_link_libraries(${name} PRIVATE ${SUITE_LIBS} GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES)
endfunction()

function(varnak_wine_test_executable)
    get_property(sources GLOBAL PROPERTY VARNAK_WINE_SOURCES)
    get_property(libs GLOBAL PROPERTY VARNAK_WINE_LIBS)
    list(REMOVE_DUPLICATES libs)
    add_executable(varnak_wine_tests ${sources})
    target_link_libraries(varnak_wine_tests PRIVATE ${libs} GTest::gtest_main)
endfunction()
