# Turns the BITMAP and RCDATA lines of resources/Lumivane.rc into one image in
# the Win32 .res format (what a resource compiler hands the linker; the walk
# and its source are in platform/native/ResourceImage.cpp), written as a C++
# byte array placed in the native module's section LUMIVANE_RESOURCE_SECTION.
# The native build has no resource compiler; the list is read from the
# resource script itself so both builds embed the same files under the same
# ids and names. Bitmaps lose their 14-byte file header, as they do in a
# Windows resource, which holds only the device-independent bitmap.
#   cmake -DSCRIPT=Lumivane.rc -DOUTPUT=EmbeddedResources.cpp [-DFOLDER=...] -P EmbedResources.cmake
# With -DFORM=array the image is instead a plain array with its size beside it
# (platform/web/LinkedModule.h), for the web page, whose linker makes no
# bounds symbols for a named section.

file(STRINGS "${SCRIPT}" lines)
# The files named are found beside the script, or in -DFOLDER=..., as a
# resource compiler finds them on its include path.
if(FOLDER)
    set(folder "${FOLDER}")
else()
    get_filename_component(folder "${SCRIPT}" DIRECTORY)
endif()

# `value` as `bytes` little-endian bytes, in hex digits.
function(little_endian out value bytes)
    math(EXPR hex "${value}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${hex}" 2 -1 hex)
    math(EXPR digits "${bytes} * 2")
    string(LENGTH "${hex}" length)
    if(length GREATER digits)
        message(FATAL_ERROR "${value} does not fit in ${bytes} bytes")
    endif()
    while(length LESS digits)
        string(PREPEND hex "0")
        math(EXPR length "${length} + 1")
    endwhile()
    set(result "")
    foreach(pair RANGE 0 ${digits} 2)
        if(pair LESS digits)
            string(SUBSTRING "${hex}" ${pair} 2 byte)
            string(PREPEND result "${byte}")
        endif()
    endforeach()
    string(TOLOWER "${result}" result)
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Zero bytes up to the next DWORD boundary after `length` bytes.
function(dword_padding out length)
    math(EXPR count "(4 - ${length} % 4) % 4")
    string(REPEAT "00" ${count} padding)
    set(${out} "${padding}" PARENT_SCOPE)
endfunction()

# Every resource is English (United States), as LANGUAGE 0x09, 0x01 in the
# script says; memory flags MOVEABLE | PURE | DISCARDABLE, a resource
# compiler's default.
little_endian(language 1033 2)
little_endian(memory_flags 0x1030 2)

# The empty record that opens every 32-bit .res file.
set(image "00000000" "20000000" "ffff0000" "ffff0000" "00000000" "00000000" "00000000" "00000000")
string(JOIN "" image ${image})
set(listing "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"[ \t]*$")
        set(type 2)
        set(shown "${CMAKE_MATCH_1}")
        set(base "${CMAKE_MATCH_2}")
        set(offset 14)
        little_endian(name_field ${shown} 2)
        set(name_field "ffff${name_field}")
    elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+RCDATA[ \t]+\"([^\"]+)\"[ \t]*$")
        set(type 10)
        set(base "${CMAKE_MATCH_2}")
        set(offset 0)
        # Names are stored in upper case, as UTF-16 with a terminating zero.
        string(TOUPPER "${CMAKE_MATCH_1}" shown)
        string(HEX "${shown}" ascii)
        string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\100" name_field "${ascii}")
        string(APPEND name_field "0000")
    else()
        continue()
    endif()
    set(file "${folder}/${base}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "${SCRIPT} names ${file}, which does not exist")
    endif()
    file(READ "${file}" data OFFSET ${offset} HEX)
    string(LENGTH "${data}" digits)
    if(digits EQUAL 0)
        message(FATAL_ERROR "${file} is empty")
    endif()
    math(EXPR data_size "${digits} / 2")

    little_endian(type_field ${type} 2)
    set(fields "ffff${type_field}${name_field}")
    string(LENGTH "${fields}" field_digits)
    math(EXPR field_bytes "8 + ${field_digits} / 2")
    dword_padding(name_padding ${field_bytes})
    string(LENGTH "${name_padding}" padding_digits)
    math(EXPR header_size "${field_bytes} + ${padding_digits} / 2 + 16")
    little_endian(data_size_field ${data_size} 4)
    little_endian(header_size_field ${header_size} 4)
    dword_padding(data_padding ${data_size})

    string(APPEND image "${data_size_field}${header_size_field}${fields}${name_padding}"
        "00000000${memory_flags}${language}0000000000000000" "${data}${data_padding}")
    string(APPEND listing "//   type ${type}, ${shown}: ${base}, ${data_size} bytes\n")
    math(EXPR count "${count} + 1")
endforeach()

if(count EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} names no BITMAP or RCDATA files")
endif()

string(LENGTH "${image}" digits)
math(EXPR bytes "${digits} / 2")
# Sixteen bytes a line, so the generated file stays readable.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," image "${image}")
string(REPEAT "0x..," 16 sixteen)
string(REGEX REPLACE "(${sixteen})" "\\1\n    " image "${image}")

get_filename_component(script_name "${SCRIPT}" NAME)
set(text "// Generated from ${script_name} by tools/EmbedResources.cmake; do not edit.\n")
string(APPEND text "// A .res image of ${count} resources:\n${listing}")
if(FORM STREQUAL "array")
    string(APPEND text "#include \"platform/web/LinkedModule.h\"\n\n")
    string(APPEND text "extern \"C\" const uint8_t LinkedResourceImage[${bytes}] = {\n    ${image}\n};\n")
    string(APPEND text "extern \"C\" const size_t LinkedResourceImageSize = ${bytes};\n")
else()
    string(APPEND text "#include \"platform/native/ResourceImage.h\"\n\n")
    string(APPEND text "// Kept even though nothing names it: the stand-in resource calls reach it\n")
    string(APPEND text "// through the section's bounds.\n")
    string(APPEND text "__attribute__((used, section(LUMIVANE_RESOURCE_SECTION), aligned(4)))\n")
    string(APPEND text "static const uint8_t ResourceImage[${bytes}] = {\n    ${image}\n};\n")
endif()

file(WRITE "${OUTPUT}" "${text}")
