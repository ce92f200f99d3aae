// Loading a gauge module, the same in every build: the file is read and what
// it needs checked before anything is loaded, then the build's own loader
// opens it (ModuleFilePlatform.h) and the two exports that make it a gauge
// module are found by name, as the simulator looks them up. Every failure
// comes back as one sentence and leaves nothing loaded; nothing here exits.
#include "bench/hosting/ModuleFile.h"

#include "bench/hosting/ModuleFilePlatform.h"

namespace {

// The missing libraries a message names; each name is at most 255 bytes.
const size_t MostNamedMissing = 3;

} // namespace

bool LoadModule(const std::string& path, LoadedModule* module, std::string* error)
{
    *module = LoadedModule();
    ModuleFileFacts facts;
    if (!ReadModuleFile(path, &facts, error))
        return false;
    if (!facts.Missing.empty()) {
        // A module may name a thousand libraries: the message names the
        // first few and counts the rest, so that it stays a line.
        const size_t named = facts.Missing.size() < MostNamedMissing ? facts.Missing.size() : MostNamedMissing;
        std::string list;
        for (size_t i = 0; i < named; ++i)
            list += (i ? ", " : "") + facts.Missing[i];
        if (facts.Missing.size() > named)
            list += " and " + std::to_string(facts.Missing.size() - named) + " more";
        *error = path + " needs " + list + ", which this system does not have";
        return false;
    }
    void* handle = OpenModuleFile(path, error);
    if (!handle)
        return false;
    if (!TakeGaugeExports(path, handle, FindModuleExport(handle, "Linkage"), FindModuleExport(handle, "ImportTable"),
            module, error)) {
        CloseModuleFile(handle);
        return false;
    }
    return true;
}

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

void UnloadModule(LoadedModule* module)
{
    if (module->Handle)
        CloseModuleFile(module->Handle);
    *module = LoadedModule();
}
