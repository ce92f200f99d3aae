// The web page has no dynamic loader: Lumivane.gau is linked into the page's
// program, and this stands in for dlopen and dlsym over that one module, so
// that a host still opens it by its file name and finds Linkage and
// ImportTable by name, as it does with the DLL and the native shared object.
// A name of any other module finds nothing, as a missing file would.
#ifndef LUMIVANE_PLATFORM_WEB_LINKEDMODULE_H
#define LUMIVANE_PLATFORM_WEB_LINKEDMODULE_H

#include <stddef.h>
#include <stdint.h>

// The file name the linked module answers to.
#define LINKED_MODULE_NAME "Lumivane.gau"

// Whether the file name at the end of `path` is the linked module's, compared
// without regard to case, as Windows compares module names.
bool IsLinkedModuleName(const char* path);

// dlopen: a handle for the linked module when `path` names it, else null.
// Each open is matched by one close; the module counts as loaded while any
// open is outstanding.
void* OpenLinkedModule(const char* path);
void CloseLinkedModule(void* module);
// The handle while the module is loaded, else null.
void* LinkedModuleHandle(void);
// dlsym: the address of the exported name, or null.
void* LinkedModuleSymbol(void* module, const char* name);

// The module's resources as one .res image (platform/native/ResourceImage.h),
// compiled into the program as a plain array by tools/EmbedResources.cmake:
// a wasm linker makes no bounds symbols for a named section.
extern "C" const uint8_t LinkedResourceImage[];
extern "C" const size_t LinkedResourceImageSize;

#endif
