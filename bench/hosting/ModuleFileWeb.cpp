// Finding and loading a gauge module linked into the program, as the web
// page's gauge is (and natively the gauge of the programs that host it so):
// the module is opened by its file name and its Linkage and ImportTable are
// found by name through the stand-in for dlopen and dlsym
// (bench/hosting/LinkedModuleLoader.h), so the host's code above this file is
// the same as the native bench's. It needs no library, and any other module
// name is a module the program does not carry.
#include "bench/hosting/ModuleFile.h"

#include "bench/hosting/LinkedModuleLoader.h"
#include "bench/hosting/ModuleFilePlatform.h"
#include "platform/web/LinkedModule.h"

namespace {

std::string NotCarried(const std::string& path)
{
    return path + " is not a module this program carries: it carries " LINKED_MODULE_NAME;
}

} // namespace

bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error)
{
    *facts = ModuleFileFacts();
    if (!IsLinkedModule(path.c_str())) {
        *error = NotCarried(path);
        return false;
    }
    return true;
}

void* OpenModuleFile(const std::string& path, std::string* error)
{
    void* handle = OpenLinkedModule(path.c_str());
    if (!handle)
        *error = NotCarried(path);
    return handle;
}

void* FindModuleExport(void* handle, const char* name)
{
    return LinkedModuleSymbol(handle, name);
}

void CloseModuleFile(void* handle)
{
    CloseLinkedModule(handle);
}
