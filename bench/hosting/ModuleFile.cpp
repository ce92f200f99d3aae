// The module file read byte by byte (bounds before every read, little-endian
// helpers, no struct laid over the file), then loaded by the system's own
// loader. The file is never trusted: a truncated header or a table that points
// past the end is a plain "not a module" answer, never a read out of bounds.
#include "bench/ModuleFile.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    uint8_t block[65536];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file)) > 0)
        bytes->insert(bytes->end(), block, block + got);
    fclose(file);
    return true;
}

// Bytes of the file with checked little-endian reads; a read past the end
// yields false and leaves the value 0.
struct FileBytes {
    const std::vector<uint8_t>& b;
    bool Has(uint64_t at, uint64_t count) const { return at <= b.size() && count <= b.size() - at; }
    bool U16(uint64_t at, uint32_t* v) const
    {
        *v = 0;
        if (!Has(at, 2))
            return false;
        *v = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
        return true;
    }
    bool U32(uint64_t at, uint32_t* v) const
    {
        *v = 0;
        if (!Has(at, 4))
            return false;
        *v = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
        return true;
    }
    bool U64(uint64_t at, uint64_t* v) const
    {
        uint32_t low, high;
        *v = 0;
        if (!U32(at, &low) || !U32(at + 4, &high))
            return false;
        *v = uint64_t(high) << 32 | low;
        return true;
    }
    // A zero-terminated name of at most 255 characters.
    bool Name(uint64_t at, std::string* name) const
    {
        name->clear();
        for (uint64_t i = at; i < b.size() && i < at + 256; ++i) {
            if (!b[i])
                return true;
            name->push_back(char(b[i]));
        }
        return false;
    }
};

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// PE: the import descriptors of a 32-bit image. Relative addresses are
// turned into file offsets through the section table.
[[maybe_unused]] bool ReadPeImports(const FileBytes& f, std::vector<std::string>* needs, std::string* what)
{
    uint32_t peAt, signature, machine, sections, optionalSize, magic;
    if (!f.U32(0x3C, &peAt) || !f.U32(peAt, &signature) || signature != 0x00004550) {
        *what = "an MZ file without a PE header";
        return false;
    }
    f.U16(peAt + 4, &machine);
    f.U16(peAt + 6, &sections);
    f.U16(peAt + 20, &optionalSize);
    uint32_t optional = peAt + 24;
    f.U16(optional, &magic);
    if (machine != 0x14C || magic != 0x10B) {
        *what = "a PE image, but not a 32-bit x86 one";
        return false;
    }
    uint32_t characteristics;
    f.U16(peAt + 22, &characteristics);
    if (!(characteristics & 0x2000)) {
        *what = "a 32-bit Windows program, not a DLL";
        return false;
    }
    uint32_t importRva = 0, directories = 0;
    f.U32(optional + 92, &directories);
    if (directories > 1)
        f.U32(optional + 104, &importRva);
    uint32_t table = optional + optionalSize;
    auto offsetOf = [&](uint32_t rva, uint64_t* at) {
        for (uint32_t s = 0; s < sections && s < 96; ++s) {
            uint32_t virtualSize, virtualAddress, rawSize, rawAt;
            uint32_t entry = table + 40 * s;
            if (!f.U32(entry + 8, &virtualSize) || !f.U32(entry + 12, &virtualAddress) ||
                !f.U32(entry + 16, &rawSize) || !f.U32(entry + 20, &rawAt))
                return false;
            uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
            if (rva >= virtualAddress && rva - virtualAddress < span) {
                *at = uint64_t(rawAt) + (rva - virtualAddress);
                return true;
            }
        }
        return false;
    };
    uint64_t at;
    if (!importRva || !offsetOf(importRva, &at))
        return true; // imports nothing
    for (int d = 0; d < 256; ++d, at += 20) {
        uint32_t nameRva;
        uint64_t nameAt;
        std::string name;
        if (!f.U32(at + 12, &nameRva)) {
            *what = "a DLL whose import table runs past the end of the file";
            return false;
        }
        if (!nameRva)
            return true;
        if (!offsetOf(nameRva, &nameAt) || !f.Name(nameAt, &name)) {
            *what = "a DLL with an unreadable import name";
            return false;
        }
        needs->push_back(name);
    }
    return true;
}

// ELF: the DT_NEEDED entries of a 64-bit x86-64 shared object, found through
// the PT_DYNAMIC segment, with addresses mapped through the PT_LOAD segments.
[[maybe_unused]] bool ReadElfNeeds(const FileBytes& f, std::vector<std::string>* needs, std::string* what)
{
    if (!f.Has(0, 64) || f.b[4] != 2 || f.b[5] != 1) {
        *what = "an ELF file, but not a 64-bit little-endian one";
        return false;
    }
    uint32_t type, machine, entrySize, count;
    uint64_t programAt;
    f.U16(16, &type);
    f.U16(18, &machine);
    f.U64(32, &programAt);
    f.U16(54, &entrySize);
    f.U16(56, &count);
    if (machine != 62) {
        *what = "an ELF object for another processor than x86-64";
        return false;
    }
    if (type != 3) {
        *what = "an ELF file that is not a shared object";
        return false;
    }
    struct Load {
        uint64_t Offset, Address, Size;
    };
    std::vector<Load> loads;
    uint64_t dynamicAt = 0, dynamicSize = 0;
    for (uint32_t i = 0; i < count && i < 256; ++i) {
        uint64_t entry = programAt + uint64_t(i) * entrySize;
        uint32_t kind;
        uint64_t offset, address, fileSize;
        if (!f.U32(entry, &kind) || !f.U64(entry + 8, &offset) || !f.U64(entry + 16, &address) ||
            !f.U64(entry + 32, &fileSize)) {
            *what = "an ELF file whose program headers run past its end";
            return false;
        }
        if (kind == 1)
            loads.push_back({offset, address, fileSize});
        if (kind == 2) {
            dynamicAt = offset;
            dynamicSize = fileSize;
        }
    }
    if (!dynamicAt) {
        *what = "an ELF file without dynamic section: not a shared object to load";
        return false;
    }
    auto offsetOf = [&](uint64_t address, uint64_t* at) {
        for (const Load& l : loads)
            if (address >= l.Address && address - l.Address < l.Size) {
                *at = l.Offset + (address - l.Address);
                return true;
            }
        return false;
    };
    uint64_t strings = 0;
    std::vector<uint64_t> needed;
    for (uint64_t at = dynamicAt; at + 16 <= dynamicAt + dynamicSize; at += 16) {
        uint64_t tag, value;
        if (!f.U64(at, &tag) || !f.U64(at + 8, &value))
            break;
        if (tag == 0)
            break;
        if (tag == 1)
            needed.push_back(value);
        if (tag == 5)
            strings = value;
    }
    uint64_t stringsAt = 0;
    if (!needed.empty() && !offsetOf(strings, &stringsAt)) {
        *what = "an ELF shared object whose string table cannot be found";
        return false;
    }
    for (uint64_t n : needed) {
        std::string name;
        if (!f.Name(stringsAt + n, &name)) {
            *what = "an ELF shared object with an unreadable library name";
            return false;
        }
        needs->push_back(name);
    }
    return true;
}

bool SystemFinds(const std::string& library, const std::string& moduleFolder)
{
#ifdef _WIN32
    // The loader looks beside the module's own folder only for a module
    // loaded by its full path with an altered search path; the bench loads
    // it that way, so its folder counts, then the usual order.
    std::string beside = moduleFolder + library;
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    char found[MAX_PATH];
    return SearchPathA(nullptr, library.c_str(), nullptr, MAX_PATH, found, nullptr) != 0;
#else
    (void)moduleFolder;
    // The dynamic loader's own search is the only faithful one.
    void* handle = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
#endif
}

} // namespace

bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error)
{
    *facts = ModuleFileFacts();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) {
        *error = "no module file at " + path;
        return false;
    }
    FileBytes f{bytes};
    std::string what;
    bool mz = f.Has(0, 2) && bytes[0] == 'M' && bytes[1] == 'Z';
    bool elf = f.Has(0, 4) && memcmp(bytes.data(), "\x7F" "ELF", 4) == 0;
#ifdef _WIN32
    const char* wanted = "a 32-bit Windows DLL";
    bool read = mz && ReadPeImports(f, &facts->Needs, &what);
    if (elf)
        what = "a Linux shared object; the native bench loads it";
#else
    const char* wanted = "a 64-bit Linux shared object";
    bool read = elf && ReadElfNeeds(f, &facts->Needs, &what);
    if (mz && what.empty())
        what = "a Windows DLL; the windows bench (bench/run-bench) loads it under Wine";
#endif
    if (!read) {
        if (what.empty())
            what = bytes.empty() ? "an empty file" : "neither a DLL nor a shared object";
        *error = path + " is not a gauge module this bench can load: it is " + what + " (wanted " + wanted + ")";
        return false;
    }
    std::string folder = FolderOf(path);
    for (const std::string& library : facts->Needs)
        if (!SystemFinds(library, folder))
            facts->Missing.push_back(library);
    return true;
}

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
#ifdef _WIN32
    // The module's own folder is searched first for what it needs, as the
    // simulator's gauges folder would be.
    HMODULE handle = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!handle) {
        *error = "LoadLibrary refused " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(handle, name)); };
    auto release = [&] { FreeLibrary(handle); };
#else
    // Bound at once, so that a symbol nobody provides is reported now and
    // not at the first call that needs it.
    // A name without a slash would send dlopen to the library search path.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        *error = "dlopen refused " + path + ": " + (why ? why : "no reason given");
        return false;
    }
    auto find = [&](const char* name) { return dlsym(handle, name); };
    auto release = [&] { dlclose(handle); };
#endif
    void* linkage = find("Linkage");
    void* imports = find("ImportTable");
    if (!linkage || !imports) {
        *error = path + " exports no " + (linkage ? "ImportTable" : "Linkage") + ": not a gauge module";
        release();
        return false;
    }
    module->Handle = reinterpret_cast<void*>(handle);
    module->Linkage = static_cast<ModuleLinkage*>(linkage);
    module->Imports = static_cast<ModuleImports*>(imports);
    module->Path = path;
    return true;
}

void UnloadModule(LoadedModule* module)
{
    if (module->Handle) {
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(module->Handle));
#else
        dlclose(module->Handle);
#endif
    }
    *module = LoadedModule();
}
