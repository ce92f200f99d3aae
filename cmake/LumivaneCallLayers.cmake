# What each layered folder's code defines and needs, for tools/CheckCalls.py:
# writes call-layers.txt into the build folder, a line "nm <tool>" and then
# "<folder> <object or library>" for every library of a folder that this
# build makes: the gauge's object libraries, the platform's, the bench's
# rooms and program, and the web page's program. Written when the build is
# generated; the files it names exist once the build has run.
function(lumivane_call_layers)
    set(folders
        module lumivane_module
        hostcalls lumivane_hostcalls
        panel lumivane_panel
        settings lumivane_settings
        callouts lumivane_callouts
        sound lumivane_sound
        resources lumivane_resources
        platform lumivane_platform
        platform lumivane_resource_image
        platform lumivane_platform_linked
        platform lumivane_soft_dsound
        platform lumivane_soft_dsound_default
        platform lumivane_call_counts
        platform lumivane_call_counting
        bench/files lumivane_bench_files
        bench/hosting lumivane_bench_hosting
        bench/hosting lumivane_bench_hosting_linked
        bench/sound lumivane_bench_sound
        bench/flying lumivane_bench_flying
        bench/lumivane lumivane_bench_lumivane
        bench/recording lumivane_bench_recording
        bench/pictures lumivane_bench_pictures
        bench/aircraft lumivane_bench_aircraft
        bench/window lumivane_bench_window
        bench/measuring lumivane_bench_measuring
        bench lumivane-bench
        web lumivane-page)
    set(content "nm ${CMAKE_NM}\n")
    while(folders)
        list(POP_FRONT folders folder target)
        if(NOT TARGET ${target})
            continue()
        endif()
        get_target_property(type ${target} TYPE)
        if(type STREQUAL "STATIC_LIBRARY")
            string(APPEND content "${folder} $<TARGET_FILE:${target}>\n")
        else()
            # An object library's or a program's own objects, each by name.
            string(APPEND content "$<$<BOOL:$<TARGET_OBJECTS:${target}>>:${folder} "
                "$<JOIN:$<TARGET_OBJECTS:${target}>,\n${folder} >\n>")
        endif()
    endwhile()
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/call-layers.txt CONTENT "${content}")
endfunction()
