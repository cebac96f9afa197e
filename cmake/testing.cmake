# GoogleTest is built from Debian's sources so that sanitizer and Windows builds
# instrument and link it the same way as the project.
set(QMZ_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QMZ_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

if(CMAKE_CROSSCOMPILING)
    # One fixture creates the throwaway Wine prefix before any Windows test runs. Its only
    # drives are C:, the build tree as B: and the build's scratch folder as D:.
    add_test(NAME wine_prefix_setup
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine_prefix_init.sh ${QMZ_WINEPREFIX}
                     b=${CMAKE_BINARY_DIR} d=${CMAKE_BINARY_DIR}/scratch)
    set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix RUN_SERIAL ON)
    add_test(NAME wine_prefix_safety
             COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine_prefix_safety_test.sh ${QMZ_WINEPREFIX})
    set_tests_properties(wine_prefix_safety PROPERTIES FIXTURES_REQUIRED wine_prefix RUN_SERIAL ON)
endif()

# qmz_test(NAME name SOURCES ... LIBS ...): one GoogleTest binary, one ctest entry.
function(qmz_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    if(NOT T_SOURCES)
        return()  # a suite whose folder is still empty
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    qmz_strict(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest gtest_main)
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=0)
    if(CMAKE_CROSSCOMPILING)
        # Our users run Japanese Windows: code page 932 and a Japanese date format.
        set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix RUN_SERIAL ON
                             ENVIRONMENT LC_ALL=ja_JP.UTF-8)
    endif()
endfunction()
