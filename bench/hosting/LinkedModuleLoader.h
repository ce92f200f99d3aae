// The page's stand-in for dlopen and dlsym over the module linked into it,
// so that a host still opens the gauge by its module's file name and finds Linkage
// and ImportTable by name, as it does with the DLL and the native shared
// object. A name of any other module finds nothing, as a missing file would,
// unless the program has linked that module in as well (LinkModule). It tells
// the gauge's stand-ins when the gauge is loaded (platform/web/LinkedModule.h)
// and never reaches into the gauge otherwise. Natively, the programs that link
// the gauge into themselves (the reliability runs, the speed figures) host it
// through this loader too.
#ifndef LUMIVANE_BENCH_HOSTING_LINKEDMODULELOADER_H
#define LUMIVANE_BENCH_HOSTING_LINKEDMODULELOADER_H

// Another module linked into the program beside the gauge, opened from now on
// by its file name `name` and its two exports found by name, as the gauge's
// are: a program that measures the gauge beside gauges of its own carries
// them so. Each is its own module, with a handle of its own, and the gauge's
// stand-ins never learn of it. False, with nothing linked, for a null name or
// export, the gauge's own name, a name already linked, or more than
// MostLinkedModules.
constexpr int MostLinkedModules = 4;
bool LinkModule(const char* name, void* linkage, void* imports);

// Whether `path` names a module linked into the program: the gauge, or one
// linked by LinkModule.
bool IsLinkedModule(const char* path);
// dlopen: a handle for the linked module `path` names, else null. Each open
// is matched by one close; a module counts as loaded while any open of it is
// outstanding.
void* OpenLinkedModule(const char* path);
void CloseLinkedModule(void* module);
// dlsym: the address of the exported name in a loaded module, or null.
void* LinkedModuleSymbol(void* module, const char* name);

#endif
