// Finding and loading the gauge module for the web page, where it is linked
// into the page's program: the module is opened by its file name and its
// Linkage and ImportTable are found by name through the page's stand-in for
// dlopen and dlsym (bench/hosting/LinkedModuleLoader.h), so the host's code
// above this file is the same as the native bench's. It needs no library, and any
// other module name is a module the page does not carry.
#include "bench/hosting/ModuleFile.h"

#include "bench/hosting/LinkedModuleLoader.h"
#include "platform/web/LinkedModule.h"

bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error)
{
    *facts = ModuleFileFacts();
    if (!IsLinkedModuleName(path.c_str())) {
        *error = path + " is not a module this page carries: it carries " LINKED_MODULE_NAME " only";
        return false;
    }
    return true;
}

bool LoadModule(const std::string& path, LoadedModule* module, std::string* error)
{
    *module = LoadedModule();
    ModuleFileFacts facts;
    if (!ReadModuleFile(path, &facts, error))
        return false;
    void* handle = OpenLinkedModule(path.c_str());
    if (!TakeGaugeExports(path, handle, LinkedModuleSymbol(handle, "Linkage"), LinkedModuleSymbol(handle, "ImportTable"),
            module, error)) {
        CloseLinkedModule(handle);
        return false;
    }
    return true;
}

void UnloadModule(LoadedModule* module)
{
    if (module->Handle)
        CloseLinkedModule(module->Handle);
    *module = LoadedModule();
}
