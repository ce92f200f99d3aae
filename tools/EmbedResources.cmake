# Turns the BITMAP and RCDATA lines of resources/Lumivane.rc into a C++ source
# of byte arrays for the native build, which has no resource compiler. The list is
# read from the resource script itself so both builds embed the same files
# under the same ids and names. Bitmaps lose their 14-byte file header, as
# they do in a Windows resource, which holds only the device-independent
# bitmap.
#   cmake -DSCRIPT=Lumivane.rc -DOUTPUT=EmbeddedResources.cpp -P EmbedResources.cmake

file(STRINGS "${SCRIPT}" lines)
get_filename_component(folder "${SCRIPT}" DIRECTORY)

set(arrays "")
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
    if(line MATCHES "^([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\"[ \t]*$")
        set(type 2)
        set(id ${CMAKE_MATCH_1})
        set(name nullptr)
        set(base "${CMAKE_MATCH_2}")
        set(offset 14)
    elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]+RCDATA[ \t]+\"([^\"]+)\"[ \t]*$")
        set(type 10)
        set(id 0)
        string(TOUPPER "${CMAKE_MATCH_1}" upper)
        set(name "\"${upper}\"")
        set(base "${CMAKE_MATCH_2}")
        set(offset 0)
    else()
        continue()
    endif()
    set(file "${folder}/${base}")
    if(NOT EXISTS "${file}")
        message(FATAL_ERROR "${SCRIPT} names ${file}, which does not exist")
    endif()
    file(READ "${file}" hex OFFSET ${offset} HEX)
    string(LENGTH "${hex}" digits)
    if(digits EQUAL 0)
        message(FATAL_ERROR "${file} is empty")
    endif()
    math(EXPR bytes "${digits} / 2")
    # Sixteen bytes a line, so the generated file stays readable.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," hex "${hex}")
    string(REPEAT "0x..," 16 sixteen)
    string(REGEX REPLACE "(${sixteen})" "\\1\n    " hex "${hex}")
    string(APPEND arrays "// ${base}\nconst BYTE EmbeddedBytes${count}[${bytes}] = {\n    ${hex}\n};\n\n")
    string(APPEND entries "    {${type}, ${id}, ${name}, EmbeddedBytes${count}, ${bytes}},\n")
    math(EXPR count "${count} + 1")
endforeach()

if(count EQUAL 0)
    message(FATAL_ERROR "${SCRIPT} names no BITMAP or RCDATA files")
endif()

set(text "// Generated from Lumivane.rc by tools/EmbedResources.cmake; do not edit.\n")
string(APPEND text "#include \"platform/native/EmbeddedResources.h\"\n\nnamespace {\n\n")
string(APPEND text "${arrays}")
string(APPEND text "const NativeResource Table[${count} + 1] = {\n${entries}    {0, 0, nullptr, nullptr, 0},\n};\n\n")
string(APPEND text "} // namespace\n\n")
string(APPEND text "const NativeResource* EmbeddedResourceTable()\n{\n    return Table;\n}\n")

file(WRITE "${OUTPUT}" "${text}")
