// FindModuleResource for the native build. A native gauge module carries its
// resources as one .res image in the section LUMIVANE_RESOURCE_SECTION and
// exports nothing but Linkage and ImportTable, so a host finds the image the
// way a debugger would: the module's load base and file from the dynamic
// linker, the section's address from the file's section headers, and a
// check that the address lies in one of the module's loaded segments. The
// file and the image are both read with bounds checked before every read.
#include "bench/hosting/ModuleResources.h"

#include "bench/files/LittleEndian.h"
#include "bench/hosting/LoadedSegments.h"
#include "platform/native/ResourceImage.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// No sane module has more sections or a longer name table; a file that
// claims more is not read.
const uint32_t MostSections = 65536;
const uint64_t MostNameBytes = 1 << 20;

// An ELF field of `bytes` (2, 4 or 8) bytes; the caller has checked that
// they lie inside what it read.
uint64_t ReadLittle(const uint8_t* at, int bytes)
{
    return bytes == 8 ? Little64(at) : bytes == 4 ? Little32(at) : Little16(at);
}

// Where the fields this reader needs lie, in the two ELF classes (the
// System V ABI's ELF header and section header).
struct ElfLayout {
    int Word; // bytes of an address or offset
    size_t HeaderBytes, SectionOffset, SectionEntrySize, SectionCount, NamesIndex;
    size_t EntryBytes, EntryName, EntryType, EntryFlags, EntryAddress, EntryOffset, EntrySize, EntryLink;
};
const ElfLayout Elf64 = {8, 64, 0x28, 0x3A, 0x3C, 0x3E, 64, 0x00, 0x04, 0x08, 0x10, 0x18, 0x20, 0x28};
const ElfLayout Elf32 = {4, 52, 0x20, 0x2E, 0x30, 0x32, 40, 0x00, 0x04, 0x08, 0x0C, 0x10, 0x14, 0x18};

class ElfFile {
public:
    explicit ElfFile(const char* path) : file_(fopen(path, "rb"))
    {
        if (file_ && fseek(file_, 0, SEEK_END) == 0) {
            const long end = ftell(file_);
            size_ = end > 0 ? uint64_t(end) : 0;
        }
    }
    ~ElfFile()
    {
        if (file_)
            fclose(file_);
    }
    ElfFile(const ElfFile&) = delete;
    ElfFile& operator=(const ElfFile&) = delete;

    // `bytes` bytes at `offset`, or false when the file is shorter.
    bool Read(uint64_t offset, uint64_t bytes, std::vector<uint8_t>* out)
    {
        if (!file_ || offset > size_ || bytes > size_ - offset)
            return false;
        out->resize(size_t(bytes));
        return fseek(file_, long(offset), SEEK_SET) == 0 && fread(out->data(), 1, out->size(), file_) == out->size();
    }

private:
    FILE* file_;
    uint64_t size_ = 0;
};

struct Section {
    uint64_t Address = 0, Size = 0;
};

bool FindSection(const char* path, const char* wanted, Section* section)
{
    ElfFile file(path);
    std::vector<uint8_t> ident;
    if (!file.Read(0, EI_NIDENT, &ident) || memcmp(ident.data(), ELFMAG, SELFMAG) != 0 ||
        ident[EI_DATA] != ELFDATA2LSB)
        return false;
    const ElfLayout& elf = ident[EI_CLASS] == ELFCLASS64 ? Elf64 : Elf32;
    if (ident[EI_CLASS] != ELFCLASS64 && ident[EI_CLASS] != ELFCLASS32)
        return false;
    std::vector<uint8_t> header;
    if (!file.Read(0, elf.HeaderBytes, &header))
        return false;
    const uint64_t tableAt = ReadLittle(&header[elf.SectionOffset], elf.Word);
    const uint64_t entryBytes = ReadLittle(&header[elf.SectionEntrySize], 2);
    uint64_t count = ReadLittle(&header[elf.SectionCount], 2);
    uint64_t namesIndex = ReadLittle(&header[elf.NamesIndex], 2);
    if (tableAt == 0 || entryBytes < elf.EntryBytes)
        return false;

    // Section 0 holds the real count and name table index when they do not
    // fit the header's 16-bit fields.
    std::vector<uint8_t> first;
    if (!file.Read(tableAt, entryBytes, &first))
        return false;
    if (count == 0)
        count = ReadLittle(&first[elf.EntrySize], elf.Word);
    if (namesIndex == SHN_XINDEX)
        namesIndex = ReadLittle(&first[elf.EntryLink], 4);
    if (count == 0 || count > MostSections || namesIndex >= count)
        return false;

    std::vector<uint8_t> table;
    if (!file.Read(tableAt, count * entryBytes, &table))
        return false;
    auto field = [&](uint64_t index, size_t at, int bytes) {
        return ReadLittle(&table[size_t(index * entryBytes + at)], bytes);
    };
    const uint64_t namesAt = field(namesIndex, elf.EntryOffset, elf.Word);
    const uint64_t namesSize = field(namesIndex, elf.EntrySize, elf.Word);
    std::vector<uint8_t> names;
    if (namesSize > MostNameBytes || !file.Read(namesAt, namesSize, &names))
        return false;

    const size_t wantedBytes = strlen(wanted) + 1;
    for (uint64_t index = 1; index < count; ++index) {
        const uint64_t name = field(index, elf.EntryName, 4);
        if (name > names.size() || names.size() - name < wantedBytes ||
            memcmp(&names[size_t(name)], wanted, wantedBytes) != 0)
            continue;
        // Only a section that is loaded with the module has an address there.
        if (field(index, elf.EntryType, 4) != SHT_PROGBITS || !(field(index, elf.EntryFlags, elf.Word) & SHF_ALLOC))
            return false;
        section->Address = field(index, elf.EntryAddress, elf.Word);
        section->Size = field(index, elf.EntrySize, elf.Word);
        return true;
    }
    return false;
}

struct SegmentSearch {
    ElfW(Addr) Base;
    Section Wanted;
    bool Loaded;
};

// The module of load base `Base`: whether the section is in its segments.
int InLoadedSegment(struct dl_phdr_info* info, size_t, void* data)
{
    SegmentSearch* search = static_cast<SegmentSearch*>(data);
    if (info->dlpi_addr != search->Base)
        return 0;
    search->Loaded = InLoadedSegments(info->dlpi_phdr, info->dlpi_phnum, search->Wanted.Address, search->Wanted.Size);
    return search->Loaded ? 1 : 0;
}

// The module's .res image, or null with size 0.
const uint8_t* ModuleImage(void* module, size_t* size)
{
    *size = 0;
    struct link_map* map = nullptr;
    if (!module || dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map)
        return nullptr;
    // The program itself has no file name in its map.
    const std::string path = map->l_name && *map->l_name ? map->l_name : "/proc/self/exe";
    Section section;
    if (!FindSection(path.c_str(), LUMIVANE_RESOURCE_SECTION, &section))
        return nullptr;
    SegmentSearch search = {map->l_addr, section, false};
    dl_iterate_phdr(InLoadedSegment, &search);
    if (!search.Loaded)
        return nullptr;
    *size = size_t(section.Size);
    return reinterpret_cast<const uint8_t*>(map->l_addr + section.Address);
}

bool Find(void* module, uint16_t type, uint16_t id, const char* name, ModuleResource* out)
{
    *out = {nullptr, 0};
    size_t size = 0;
    const uint8_t* image = ModuleImage(module, &size);
    ResourceRecord record;
    if (!image || FindResourceInImage(image, size, type, id, name, &record) != ResourceFound)
        return false;
    *out = {record.Data, record.Size};
    return true;
}

} // namespace

bool InLoadedSegments(const ElfW(Phdr)* segments, size_t count, uint64_t address, uint64_t size)
{
    for (size_t i = 0; i < count; ++i) {
        const ElfW(Phdr)& segment = segments[i];
        if (segment.p_type != PT_LOAD || address < segment.p_vaddr)
            continue;
        const uint64_t into = address - segment.p_vaddr;
        if (into <= segment.p_filesz && size <= segment.p_filesz - into)
            return true;
    }
    return false;
}

bool FindModuleResource(void* module, uint16_t type, uint16_t id, ModuleResource* out)
{
    return Find(module, type, id, nullptr, out);
}

bool FindModuleResource(void* module, uint16_t type, const char* name, ModuleResource* out)
{
    if (!name) {
        *out = {nullptr, 0};
        return false;
    }
    return Find(module, type, 0, name, out);
}
