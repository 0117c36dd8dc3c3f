# varnak_test_suite(<name> SOURCES <files...> LIBS <targets...> [WINE] [REAL_BACKENDS])
#
# Natively: one GoogleTest executable, its tests registered one by one with CTest. A suite
# of the toolkit's behaviour links varnak_test_headless, the backend it runs on by default;
# varnak_suites_on_backend() runs it on another. A REAL_BACKENDS suite needs a window system
# (a keyboard, a screen, assistive technology): it runs only on other backends.
# In the Windows cross build: suites marked WINE are gathered into the one executable that
# runs under Wine (varnak_wine_tests), created by varnak_wine_test_executable().
function(varnak_test_suite name)
    cmake_parse_arguments(SUITE "WINE;REAL_BACKENDS" "" "SOURCES;LIBS" ${ARGN})
    list(TRANSFORM SUITE_SOURCES PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/")
    set_property(GLOBAL PROPERTY VARNAK_SUITE_${name}_SOURCES ${SUITE_SOURCES})
    set_property(GLOBAL PROPERTY VARNAK_SUITE_${name}_LIBS ${SUITE_LIBS})
    if(VARNAK_CROSS_WINDOWS)
        if(SUITE_WINE)
            set_property(GLOBAL APPEND PROPERTY VARNAK_WINE_SOURCES ${SUITE_SOURCES})
            set_property(GLOBAL APPEND PROPERTY VARNAK_WINE_LIBS ${SUITE_LIBS})
        endif()
        return()
    endif()
    if(SUITE_REAL_BACKENDS)
        return()
    endif()
    add_executable(${name} ${SUITE_SOURCES})
    target_link_libraries(${name} PRIVATE ${SUITE_LIBS} GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30 NO_PRETTY_VALUES)
endfunction()

# varnak_suites_on_backend(<target> BACKEND <test backend library> SUITES <suites...>
#                          [SOURCES <files...>] [LIBS <targets...>])
#
# One test executable that runs the suites on another backend, so that the backends can't
# drift apart: the suites' sources with the backend's test library in place of the headless
# one, and the backend's own tests (SOURCES, LIBS). The caller registers its tests.
function(varnak_suites_on_backend target)
    cmake_parse_arguments(RUN "" "BACKEND" "SUITES;SOURCES;LIBS" ${ARGN})
    set(sources ${RUN_SOURCES})
    set(libs ${RUN_LIBS})
    foreach(suite ${RUN_SUITES})
        get_property(suite_sources GLOBAL PROPERTY VARNAK_SUITE_${suite}_SOURCES)
        get_property(suite_libs GLOBAL PROPERTY VARNAK_SUITE_${suite}_LIBS)
        if(NOT suite_sources)
            message(FATAL_ERROR "varnak_suites_on_backend: no suite ${suite} declared before")
        endif()
        list(APPEND sources ${suite_sources})
        list(APPEND libs ${suite_libs})
    endforeach()
    list(REMOVE_ITEM libs varnak_test_headless)
    list(REMOVE_DUPLICATES libs)
    add_executable(${target} ${sources})
    target_link_libraries(${target} PRIVATE ${RUN_BACKEND} ${libs} GTest::gtest_main)
endfunction()

function(varnak_wine_test_executable)
    get_property(sources GLOBAL PROPERTY VARNAK_WINE_SOURCES)
    get_property(libs GLOBAL PROPERTY VARNAK_WINE_LIBS)
    list(REMOVE_DUPLICATES libs)
    add_executable(varnak_wine_tests ${sources})
    target_link_libraries(varnak_wine_tests PRIVATE ${libs} GTest::gtest_main)
endfunction()
