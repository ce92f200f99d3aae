// Both walks keep to what a loader would use: PE relative addresses are
// turned into file offsets through the section table, ELF addresses through
// the PT_LOAD segments. Neither follows more entries than a real module has.
#include "bench/hosting/ModuleNeeds.h"

// PE: the import descriptors of a 32-bit image. Relative addresses are
// turned into file offsets through the section table.
bool ReadPeImports(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what)
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
bool ReadElfNeeds(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what)
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

