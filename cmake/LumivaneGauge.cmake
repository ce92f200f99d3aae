# How the gauge's own code is compiled: the same sources go into Lumivane.gau,
# into the native shared object and into the unit tests, always with the flags
# the DLL needs (no exceptions, no RTTI), so a test never exercises code that
# was built differently from what the host loads.

if(LUMIVANE_SANITIZE)
    set(_sanitize -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${_sanitize})
    add_link_options(${_sanitize})
endif()

# What every user of the gauge's headers needs: the include root and, on
# Windows, the system libraries behind them.
add_library(lumivane_gauge_code INTERFACE)
target_include_directories(lumivane_gauge_code INTERFACE ${PROJECT_SOURCE_DIR})
if(WIN32)
    target_link_libraries(lumivane_gauge_code INTERFACE dsound user32 kernel32)
endif()

# How the gauge's own objects are compiled; not passed on to the tests, which
# use exceptions and RTTI through GoogleTest.
set(LUMIVANE_GAUGE_OPTIONS -Wall -Wextra
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions -fno-rtti -fno-threadsafe-statics>)
if(NOT WIN32)
    # The native shared object exports what the DLL exports: Linkage and
    # ImportTable, marked LUMIVANE_EXPORT, and nothing else.
    list(APPEND LUMIVANE_GAUGE_OPTIONS -fvisibility=hidden)
endif()
# How the two exports are marked: the DLL exports them by name through
# module/Lumivane.def, so there the mark is empty.
if(WIN32)
    set(LUMIVANE_EXPORT_MARK "LUMIVANE_EXPORT=")
else()
    set(LUMIVANE_EXPORT_MARK "LUMIVANE_EXPORT=__attribute__((visibility(\"default\")))")
endif()
if(WIN32)
    # The simulator runs on a 486 DX2/66 or better. The compilers' default for
    # i686 allows CMOV and FCOMI, which a 486, a Pentium, a K5, K6 or 6x86
    # does not decode: the first lamp evaluation would fault.
    list(APPEND LUMIVANE_GAUGE_OPTIONS -march=i486)
    # No unwind tables: nothing in the gauge throws, and they would pull in
    # libgcc's unwinder, which needs the start files we leave out.
    list(APPEND LUMIVANE_GAUGE_OPTIONS
        -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
    # Arguments pushed rather than stored into a pre-reserved frame: MinGW's
    # default costs several bytes at every call, and the whole module should
    # stay small. Stack probes guard frames over 4 KiB; the gauge has none.
    # Records at their own alignment, not padded to 32 bytes each for vector
    # loads the gauge never makes.
    list(APPEND LUMIVANE_GAUGE_OPTIONS
        -mno-accumulate-outgoing-args -mno-stack-arg-probe -malign-data=abi)
endif()

# One folder of the gauge: an object library, so that the DLL and the tests
# link the very same object files.
function(lumivane_gauge_objects name)
    add_library(${name} OBJECT ${ARGN})
    target_link_libraries(${name} PUBLIC lumivane_gauge_code)
    target_compile_options(${name} PRIVATE ${LUMIVANE_GAUGE_OPTIONS})
    target_compile_definitions(${name} PRIVATE ${LUMIVANE_EXPORT_MARK})
    # The native Lumivane.gau is a shared object.
    set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    set_property(GLOBAL APPEND PROPERTY LUMIVANE_GAUGE_OBJECTS ${name})
endfunction()
