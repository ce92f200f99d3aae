# GoogleTest for both builds, compiled from Debian's googletest sources so the
# windows build gets a copy built by the same MinGW compilers as the gauge.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# In the windows build the tests' own code and GoogleTest are compiled
# without optimisation, which takes a third less time than the -Os the
# module is built with; what they judge (the gauge's and the bench's objects)
# keeps the flags it ships with.
if(CMAKE_CROSSCOMPILING)
    set(LUMIVANE_TEST_CODE_OPTIONS -O0)
    target_compile_options(gtest PRIVATE ${LUMIVANE_TEST_CODE_OPTIONS})
    target_compile_options(gtest_main PRIVATE ${LUMIVANE_TEST_CODE_OPTIONS})
endif()

include(GoogleTest)
enable_testing()

if(CMAKE_CROSSCOMPILING)
    # Every Windows test program runs under Wine in this build's own prefix.
    set(LUMIVANE_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/cmake/wine-run;${LUMIVANE_WINE_STATE}")
endif()

# The rooms a test can cover, and the few other things a label names, from
# tools/mutants-rooms.txt, where tools/mutate reads them too. Every test is
# labelled with the rooms whose faults it can catch, so that `ctest -L
# '^settings$'` runs everything that judges settings/ and nothing else.
file(STRINGS ${PROJECT_SOURCE_DIR}/tools/mutants-rooms.txt lumivane_room_lines REGEX "^(room|label) ")
set(LUMIVANE_ROOMS)
foreach(line ${lumivane_room_lines})
    string(REGEX REPLACE "^(room|label) +([^ ]+).*" "\\2" room "${line}")
    list(APPEND LUMIVANE_ROOMS ${room})
endforeach()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/tools/mutants-rooms.txt)

# A label that names no room would leave its tests out of every room's run
# without a word: it stops the configure instead.
function(lumivane_check_rooms)
    foreach(room ${ARGN})
        if(NOT room IN_LIST LUMIVANE_ROOMS)
            message(FATAL_ERROR "'${room}' is not a room or label of tools/mutants-rooms.txt")
        endif()
    endforeach()
    if(NOT ARGN)
        message(FATAL_ERROR "a test with no room: every test names what it covers")
    endif()
endfunction()

# What a room's tests need built, gathered as the tests are declared, so that
# `cmake --build --target room_tests_<room>` (room_tests_bench_files for
# bench/files) builds those and nothing else; lumivane_room_test_targets()
# makes the targets once every test is known.
function(lumivane_room_needs rooms)
    foreach(room ${rooms})
        set_property(GLOBAL APPEND PROPERTY LUMIVANE_ROOM_NEEDS_${room} ${ARGN})
    endforeach()
endfunction()

function(lumivane_room_test_targets)
    foreach(room ${LUMIVANE_ROOMS})
        string(REPLACE "/" "_" slug ${room})
        add_custom_target(room_tests_${slug})
        get_property(needs GLOBAL PROPERTY LUMIVANE_ROOM_NEEDS_${room})
        if(needs)
            list(REMOVE_DUPLICATES needs)
            add_dependencies(room_tests_${slug} ${needs})
        endif()
    endforeach()
endfunction()

# lumivane_test_rooms(TESTS test... ROOMS room... [NEEDS target...])
# Labels tests declared with add_test by the rooms they cover; NEEDS are the
# targets their commands run.
function(lumivane_test_rooms)
    cmake_parse_arguments(R "" "" "TESTS;ROOMS;NEEDS" ${ARGN})
    lumivane_check_rooms(${R_ROOMS})
    set_property(TEST ${R_TESTS} APPEND PROPERTY LABELS ${R_ROOMS})
    lumivane_room_needs("${R_ROOMS}" ${R_NEEDS})
endfunction()

# lumivane_add_test(NAME SOURCES ... ROOMS ... [LIBRARIES ...] [PROPERTIES ...])
# Natively each case is a test of its own, listed when CTest runs, not at
# build time. Under Wine a process takes longer to start than most cases take
# to run, so there each program is one test (cmake/gtest-program, which still
# shows a skipped case as a skip) and its output names the case that failed.
# ROOMS label every test the program gives.
function(lumivane_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBRARIES;PROPERTIES;ROOMS" ${ARGN})
    lumivane_check_rooms(${T_ROOMS})
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} gtest gtest_main)
    target_compile_options(${name} PRIVATE ${LUMIVANE_TEST_CODE_OPTIONS})
    lumivane_room_needs("${T_ROOMS}" ${name})
    if(CMAKE_CROSSCOMPILING)
        set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}")
        add_test(NAME ${name}
            COMMAND ${PROJECT_SOURCE_DIR}/cmake/gtest-program ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77 LABELS "${T_ROOMS}" ${T_PROPERTIES})
        return()
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES ${T_PROPERTIES})
    # The labels are set by a script of our own that CTest reads after the
    # listing: gtest_discover_tests would split a list of labels into
    # properties of their own.
    set(labels ${CMAKE_CURRENT_BINARY_DIR}/${name}_rooms.cmake)
    file(WRITE ${labels}
        "if(${name}_TESTS)\n"
        "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${T_ROOMS}\")\n"
        "else()\n"
        "  set_tests_properties(${name}_NOT_BUILT PROPERTIES LABELS \"${T_ROOMS}\")\n"
        "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${labels})
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
        lumivane_test_rooms(TESTS ${program}_loads_current_${name} ROOMS module NEEDS ${program})
    endforeach()
    # A program with several modules beside it has a target of copies for
    # each, all under the first one's name.
    if(TARGET ${program}_modules)
        add_custom_target(${program}_modules_${module} DEPENDS ${copies})
        add_dependencies(${program}_modules ${program}_modules_${module})
    else()
        add_custom_target(${program}_modules DEPENDS ${copies})
        add_dependencies(${program} ${program}_modules)
    endif()
endfunction()
