// The gauge's own stand-ins in the web page, where Lumivane.gau is linked into
// the page's program instead of loaded from a file: the module's handle, which
// GetModuleHandleA hands out only while a host has the module open, and its
// resources as one .res image compiled in. Opening the module and finding its
// exports by name is the host's side (bench/hosting/LinkedModuleLoader.h);
// nothing here knows the host's records, and nothing here opens anything.
#ifndef LUMIVANE_PLATFORM_WEB_LINKEDMODULE_H
#define LUMIVANE_PLATFORM_WEB_LINKEDMODULE_H

#include <stddef.h>
#include <stdint.h>

// The file name the linked module answers to.
#define LINKED_MODULE_NAME "Lumivane.gau"

// Whether the file name at the end of `path` is `name`, compared without
// regard to case, as Windows compares module names; false for a null path.
bool IsModuleFileName(const char* path, const char* name);
// The same for the linked module's name.
bool IsLinkedModuleName(const char* path);

// Told by the page's loader when a host first opens the module (true) and
// when its last open is closed (false): like Windows, only a loaded module
// has a handle.
void SetLinkedModuleLoaded(bool loaded);
// The module's handle while it is loaded, else null.
void* LinkedModuleHandle(void);

// The module's resources as one .res image (platform/native/ResourceImage.h),
// compiled into the program as a plain array by tools/EmbedResources.cmake:
// a wasm linker makes no bounds symbols for a named section.
extern "C" const uint8_t LinkedResourceImage[];
extern "C" const size_t LinkedResourceImageSize;

#endif
