# GoogleTest for both builds, compiled from Debian's googletest sources so the
# windows build gets a copy built by the same MinGW compilers as the gauge.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)
enable_testing()

if(CMAKE_CROSSCOMPILING)
    # Every Windows test program runs under Wine in this build's own prefix.
    set(LUMIVANE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/cmake/wine-run;${LUMIVANE_WINE_STATE}")
endif()

# lumivane_add_test(NAME SOURCES ... [LIBRARIES ...] [PROPERTIES ...])
# Tests are listed when CTest runs, not at build time, so a build never waits
# on Wine.
function(lumivane_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBRARIES;PROPERTIES" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} gtest gtest_main)
    if(CMAKE_CROSSCOMPILING)
        set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}")
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES ${T_PROPERTIES})
endfunction()

# Wine's real DirectSound needs an ALSA output. A test program run with HOME
# set to this folder finds a .asoundrc that makes the default output ALSA's
# file device over a null sink: nothing is heard, everything played is
# recorded in capture.wav beside it, and no sound card is needed.
function(lumivane_alsa_home folder)
    file(MAKE_DIRECTORY ${folder})
    file(WRITE ${folder}/.asoundrc
        "pcm.!default { type file slave.pcm \"null\" file \"${folder}/capture.wav\" format \"wav\" }\n"
        "pcm.null { type null }\n")
endfunction()

# lumivane_module_beside(PROGRAM MODULE-TARGET [NAME...])
# Copies a built module beside a test program that loads it by its folder, as
# the simulator finds a gauge in its gauges folder, under each NAME (the
# module's own file name when none is given). The copy is a file of the build
# that depends on the module's file, so that a change to the gauge alone
# renews it before the program is run; the CTest <program>_loads_current_<name>
# fails if it ever differs from the module just built.
function(lumivane_module_beside program module)
    set(names ${ARGN})
    if(NOT names)
        set(names ${module})
    endif()
    set(copies)
    foreach(name ${names})
        set(copy ${CMAKE_CURRENT_BINARY_DIR}/${name})
        add_custom_command(OUTPUT ${copy}
            COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${module}> ${copy}
            DEPENDS ${module} $<TARGET_FILE:${module}>
            COMMENT "Copying ${module} beside ${program} as ${name}"
            VERBATIM)
        list(APPEND copies ${copy})
        add_test(NAME ${program}_loads_current_${name}
            COMMAND ${CMAKE_COMMAND} -E compare_files $<TARGET_FILE:${module}> ${copy})
    endforeach()
    add_custom_target(${program}_modules DEPENDS ${copies})
    add_dependencies(${program} ${program}_modules)
endfunction()
