# lumora_add_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...])
# A static library whose folder is its public include directory.
function(lumora_add_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# lumora_add_test(<name> SOURCES ... LIBS ... [DISPLAY] [SERIAL] [DEPENDS targets...] [ARGS ...])
# One QtTest executable run by ctest. Every test gets its own empty data folder
# (XDG_DATA_HOME) so that nothing touches the real home. DISPLAY marks tests that
# open windows (test.sh provides a virtual X server); SERIAL ones never overlap.
function(lumora_add_test name)
    cmake_parse_arguments(ARG "DISPLAY;SERIAL" "" "SOURCES;LIBS;DEPENDS;ARGS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_compile_definitions(${name} PRIVATE LUMORA_TEST_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}"
                                               LUMORA_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    if(ARG_DEPENDS)
        add_dependencies(${name} ${ARG_DEPENDS})
    endif()
    set(data_home ${CMAKE_BINARY_DIR}/testdata/${name})
    add_test(NAME ${name} COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_HOME=${data_home}
             ${CMAKE_COMMAND} -E chdir ${CMAKE_CURRENT_BINARY_DIR} $<TARGET_FILE:${name}> ${ARG_ARGS})
    set(labels)
    if(ARG_DISPLAY)
        list(APPEND labels display)
    else()
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${labels}")
    if(ARG_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()
