// What makes a loaded module a gauge module: it exports Linkage and
// ImportTable by name, as the simulator looks them up.
#include "bench/hosting/ModuleFile.h"

bool TakeGaugeExports(const std::string& path, void* handle, void* linkage, void* imports, LoadedModule* module,
    std::string* error)
{
    if (!handle || !linkage || !imports) {
        *error = path + " exports no " + (linkage ? "ImportTable" : "Linkage") + ": not a gauge module";
        return false;
    }
    module->Handle = handle;
    module->Linkage = static_cast<ModuleLinkage*>(linkage);
    module->Imports = static_cast<ModuleImports*>(imports);
    module->Path = path;
    return true;
}
