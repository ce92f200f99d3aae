// The page's stand-in for dlopen and dlsym over the one module linked into it,
// so that a host still opens Lumivane.gau by its file name and finds Linkage
// and ImportTable by name, as it does with the DLL and the native shared
// object. A name of any other module finds nothing, as a missing file would.
// It tells the gauge's stand-ins when the module is loaded
// (platform/web/LinkedModule.h) and never reaches into the gauge otherwise.
#ifndef LUMIVANE_BENCH_HOSTING_LINKEDMODULELOADER_H
#define LUMIVANE_BENCH_HOSTING_LINKEDMODULELOADER_H

// dlopen: a handle for the linked module when `path` names it, else null.
// Each open is matched by one close; the module counts as loaded while any
// open is outstanding.
void* OpenLinkedModule(const char* path);
void CloseLinkedModule(void* module);
// dlsym: the address of the exported name, or null.
void* LinkedModuleSymbol(void* module, const char* name);

#endif
