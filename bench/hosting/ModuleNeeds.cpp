// Both walks keep to what a loader would use: PE relative addresses are
// turned into file offsets through the section table, ELF addresses through
// the PT_LOAD segments. Neither follows more entries than a real module has,
// each name is read once however often the file repeats it, and a size or
// offset that would wrap or point past the end is a malformed file, never a
// module that needs nothing.
#include "bench/hosting/ModuleNeeds.h"

#include <set>

namespace {

// Appends `name` unless it is there already; a module naming one library a
// million times is asked about once.
void AddNeed(std::vector<std::string>* needs, std::set<std::string>* seen, const std::string& name)
{
    if (seen->insert(name).second)
        needs->push_back(name);
}

} // namespace

// PE: the import descriptors of a 32-bit image. Relative addresses are
// turned into file offsets through the section table.
bool ReadPeImports(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what)
{
    uint32_t peAt, signature, machine, sections, optionalSize, magic;
    if (!f.U32(0x3C, &peAt) || !f.U32(peAt, &signature) || signature != 0x00004550) {
        *what = "an MZ file without a PE header";
        return false;
    }
    // The file header is 20 bytes after the signature; the optional header
    // follows it, its size given in the file header.
    if (!f.U16(peAt + 4, &machine) || !f.U16(peAt + 6, &sections) || !f.U16(peAt + 20, &optionalSize)) {
        *what = "a PE image cut short in its file header";
        return false;
    }
    uint32_t optional = peAt + 24;
    f.U16(optional, &magic);
    if (machine != 0x14C || magic != 0x10B) {
        *what = "a PE image, but not a 32-bit x86 one";
        return false;
    }
    // A 32-bit optional header is 96 bytes before its data directories, 8
    // bytes each (Microsoft's "PE Format"); the size the file gives must hold
    // them and lie within the file.
    uint32_t directories = 0;
    if (!f.Has(optional, optionalSize) || optionalSize < 96 || !f.U32(optional + 92, &directories)) {
        *what = "a PE image cut short in its optional header, or whose optional header size (" +
            std::to_string(optionalSize) + " bytes) is impossible";
        return false;
    }
    if (uint64_t(directories) * 8 > optionalSize - 96u) {
        *what = "a PE image whose optional header (" + std::to_string(optionalSize) + " bytes) cannot hold the " +
            std::to_string(directories) + " data directories it declares";
        return false;
    }
    uint32_t characteristics;
    f.U16(peAt + 22, &characteristics);
    if (!(characteristics & 0x2000)) {
        *what = "a 32-bit Windows program, not a DLL";
        return false;
    }
    uint32_t importRva = 0;
    if (directories > 1)
        f.U32(optional + 104, &importRva);
    uint64_t table = uint64_t(optional) + optionalSize;
    if (!f.Has(table, uint64_t(sections) * 40)) {
        *what = "a PE image whose section table runs past the end of the file";
        return false;
    }
    // Every section's bytes must be in the file: the loader would map what
    // is missing as if it were there, or refuse the image with a bare code.
    for (uint32_t s = 0; s < sections; ++s) {
        uint32_t rawSize = 0, rawAt = 0;
        f.U32(table + 40 * s + 16, &rawSize);
        f.U32(table + 40 * s + 20, &rawAt);
        if (rawSize && !f.Has(rawAt, rawSize)) {
            *what = "a PE image cut short: a section runs to byte " + std::to_string(uint64_t(rawAt) + rawSize) +
                ", past the end of the file (" + std::to_string(f.Size) + " bytes)";
            return false;
        }
    }
    auto offsetOf = [&](uint32_t rva, uint64_t* at) {
        for (uint32_t s = 0; s < sections && s < 96; ++s) {
            uint32_t virtualSize, virtualAddress, rawSize, rawAt;
            uint64_t entry = table + 40 * s;
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
    if (!importRva)
        return true; // imports nothing
    if (!offsetOf(importRva, &at)) {
        *what = "a DLL whose import table lies in no section";
        return false;
    }
    std::set<std::string> seen;
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
        if (!offsetOf(nameRva, &nameAt) || !f.Name(nameAt, &name) || name.empty()) {
            *what = "a DLL with an unreadable import name";
            return false;
        }
        AddNeed(needs, &seen, name);
    }
    return true;
}

// ELF: the DT_NEEDED entries of a 64-bit x86-64 shared object, found through
// the PT_DYNAMIC segment, with addresses mapped through the PT_LOAD segments.
bool ReadElfNeeds(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what,
    std::vector<std::string>* searchPaths)
{
    if (!f.Has(0, 64) || f.Data[4] != 2 || f.Data[5] != 1) {
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
        // The loader maps each segment from the file: one that the file does
        // not hold would be a bus error at the first touch, not a message.
        if (kind == 1 && !f.Has(offset, fileSize)) {
            *what = "an ELF shared object cut short: a segment it loads runs to byte " +
                std::to_string(offset + fileSize) + ", past the end of the file (" + std::to_string(f.Size) +
                " bytes)";
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
    if (!f.Has(dynamicAt, dynamicSize)) {
        *what = "an ELF shared object whose dynamic segment (" + std::to_string(dynamicSize) +
            " bytes at " + std::to_string(dynamicAt) + ") runs past the end of the file";
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
    // A real module needs a handful of libraries; repeats are read once.
    const size_t MostNeeded = 1024;
    uint64_t strings = 0;
    std::set<uint64_t> needed;
    std::vector<uint64_t> paths; // DT_RPATH and DT_RUNPATH
    for (uint64_t at = dynamicAt; dynamicAt + dynamicSize - at >= 16; at += 16) {
        uint64_t tag, value;
        f.U64(at, &tag);
        f.U64(at + 8, &value);
        if (tag == 0)
            break;
        if (tag == 1) {
            needed.insert(value);
            if (needed.size() > MostNeeded) {
                *what = "an ELF shared object that names more than " + std::to_string(MostNeeded) +
                    " different libraries it needs";
                return false;
            }
        }
        if (tag == 5)
            strings = value;
        if ((tag == 15 || tag == 29) && paths.size() < 16)
            paths.push_back(value);
    }
    uint64_t stringsAt = 0;
    if ((!needed.empty() || !paths.empty()) && !offsetOf(strings, &stringsAt)) {
        *what = "an ELF shared object whose string table cannot be found";
        return false;
    }
    auto nameAt = [&](uint64_t n, std::string* name, size_t most) {
        return n < f.Size && stringsAt + n >= stringsAt && f.Name(stringsAt + n, name, most) && !name->empty();
    };
    std::set<std::string> seen;
    for (uint64_t n : needed) {
        std::string name;
        if (!nameAt(n, &name, 255)) {
            *what = "an ELF shared object with an unreadable library name (string " + std::to_string(n) +
                " of its table)";
            return false;
        }
        AddNeed(needs, &seen, name);
    }
    for (uint64_t n : paths) {
        std::string list;
        if (!nameAt(n, &list, 4095)) {
            *what = "an ELF shared object with an unreadable library search path";
            return false;
        }
        if (searchPaths)
            searchPaths->push_back(list);
    }
    return true;
}
