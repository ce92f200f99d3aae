// Loading a gauge module, the same in every build: the file is read and what
// it needs checked before anything is loaded, then the build's own loader
// opens it (ModuleFilePlatform.h) and the two exports that make it a gauge
// module are found by name, as the simulator looks them up. Every failure
// comes back as one sentence and leaves nothing loaded; nothing here exits.
#include "bench/hosting/ModuleFile.h"

#include "bench/files/Files.h"
#include "bench/hosting/ModuleFilePlatform.h"

#include <string.h>

bool LoadModule(const std::string& path, LoadedModule* module, std::string* error)
{
    *module = LoadedModule();
    ModuleFileFacts facts;
    if (!ReadModuleFile(path, &facts, error))
        return false;
    if (!facts.Missing.empty()) {
        std::string list;
        for (const std::string& library : facts.Missing)
            list += (list.empty() ? "" : ", ") + library;
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

bool ReadModuleBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error)
{
    std::string problem;
    if (ReadWholeFile(path, bytes, &problem))
        return true;
    *error = "cannot read the module: " + problem;
    return false;
}

std::string NotAModuleHere(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& what,
    const char* wanted)
{
    const std::string is =
        !what.empty() ? what : bytes.empty() ? "an empty file" : "neither a DLL nor a shared object";
    return path + " is not a gauge module this bench can load: it is " + is + " (wanted " + wanted + ")";
}

bool StartsAsPe(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

bool StartsAsElf(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && memcmp(bytes.data(), "\x7F" "ELF", 4) == 0;
}
