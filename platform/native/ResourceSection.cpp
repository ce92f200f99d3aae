// The native module's resource image: the section named
// LUMIVANE_RESOURCE_SECTION, which lumivane_resources fills with the .res
// image (platform/native/ResourceImage.h).
#include "platform/native/ResourceImage.h"

// The linker's bounds of this module's resource section. Weak, so that a
// program or module that links no resources still links, and finds nothing,
// like a Windows program without a resource section. Hidden, so that each
// module sees its own section and never another module's.
extern "C" const uint8_t __start_lumivane_resources[] __attribute__((weak, visibility("hidden")));
extern "C" const uint8_t __stop_lumivane_resources[] __attribute__((weak, visibility("hidden")));

const uint8_t* OwnResourceImage(size_t* size)
{
    *size = __start_lumivane_resources ? size_t(__stop_lumivane_resources - __start_lumivane_resources) : 0;
    return __start_lumivane_resources;
}
