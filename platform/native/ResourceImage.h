// A module's resources as one image in the Win32 .res format, the file a
// resource compiler hands the linker, and the bounded walk that finds one
// resource in it. The native gauge carries such an image in a named section
// instead of a Windows resource directory; the stand-in resource calls and
// the bench both search it here. Every read is checked against the image's
// size first: a garbled or truncated image finds nothing, it is never read past.
#ifndef LUMIVANE_PLATFORM_NATIVE_RESOURCEIMAGE_H
#define LUMIVANE_PLATFORM_NATIVE_RESOURCEIMAGE_H

#include <stddef.h>
#include <stdint.h>

// The section of a native module that holds its image. Its name is a C
// identifier, so the linker gives each module __start_ and __stop_ symbols
// for it.
#define LUMIVANE_RESOURCE_SECTION "lumivane_resources"

// One resource record of an image.
struct ResourceRecord {
    size_t At;           // where the record's header starts, from the image's start
    const uint8_t* Data; // the resource's bytes, inside the image
    uint32_t Size;
};

// How a walk ended without finding what it looked for.
enum ResourceWalkEnd {
    ResourceFound = 0,
    ResourceWalkComplete,  // a clean end: every record read, none matched
    ResourceWalkTruncated, // a record runs past the end of the image
    ResourceWalkGarbled,   // a record's header does not hold together
};

// Looks for the resource of integer type `type` whose name is the integer
// `id` (when `name` is null) or the ASCII string `name`, compared without
// regard to case, as Windows compares names. Fills `out` when found.
ResourceWalkEnd FindResourceInImage(const uint8_t* image, size_t size, uint16_t type, uint16_t id,
    const char* name, ResourceRecord* out);

// Reads the record whose header starts at `at` again, with the same checks;
// for a handle that holds the record's place.
bool ReadResourceRecord(const uint8_t* image, size_t size, size_t at, ResourceRecord* out);

// The image of the module this code is linked into, and its size: natively
// its resource section (native/ResourceSection.cpp), in the web page the
// array compiled into it (web/LinkedModule.cpp). Null and 0 for none.
const uint8_t* OwnResourceImage(size_t* size);

#endif
