// Finding and loading a gauge module the way the host does: the windows bench
// with LoadLibrary on the given path, the native bench with dlopen of a
// native gauge module. Before loading, the module's own file is read for the
// libraries it needs (PE import descriptors, ELF DT_NEEDED), so that a library
// the system would not find is named instead of failing obscurely. Every
// failure comes back as one sentence for the user; nothing here exits.
#ifndef LUMIVANE_BENCH_MODULEFILE_H
#define LUMIVANE_BENCH_MODULEFILE_H

#include "host/Records.h"

#include <string>
#include <vector>

// What the module file says about itself, read without loading it.
struct ModuleFileFacts {
    std::vector<std::string> Needs; // DLLs or shared libraries, as the file names them
    std::vector<std::string> Missing; // those this system would not find
};

// Reads the file. False, with `error` set, when there is no file at `path` or
// it is not a module this bench can load (a 32-bit Windows DLL for the windows
// bench, a 64-bit ELF shared object for the native one).
bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error);

struct LoadedModule {
    void* Handle = nullptr; // HMODULE, or the dlopen handle
    ModuleLinkage* Linkage = nullptr;
    ModuleImports* Imports = nullptr;
    std::string Path; // as loaded
};

// Checks the file, loads it and finds Linkage and ImportTable. False, with
// `error` set and nothing left loaded, on any failure.
bool LoadModule(const std::string& path, LoadedModule* module, std::string* error);
// The last step of LoadModule: `module` filled from a loaded handle and the
// two exports found in it, or false with a message naming the export that is
// missing (the caller then lets go of the handle).
bool TakeGaugeExports(const std::string& path, void* handle, void* linkage, void* imports, LoadedModule* module,
    std::string* error);
void UnloadModule(LoadedModule* module);

#endif
