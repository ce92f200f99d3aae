// FindModuleResource for the native build. A native gauge module carries its
// resources as one .res image in the section LUMIVANE_RESOURCE_SECTION and
// exports nothing but Linkage and ImportTable, so a host finds the image the
// way a debugger would: the module's load base and file from the dynamic
// linker, the section's address from the file's section headers, and a
// check that the address lies in one of the module's loaded segments. The
// file and the image are both read with bounds checked before every read.
#include "bench/hosting/ModuleResources.h"

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

// The module is loaded in this process, so its file is of the process's
// own ELF class and byte order: its headers are read into the system's own
// structs for that class.
const unsigned char OwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
using ElfHeader = ElfW(Ehdr);
using SectionHeader = ElfW(Shdr);

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
    std::vector<uint8_t> bytes;
    if (!file.Read(0, sizeof(ElfHeader), &bytes))
        return false;
    ElfHeader header;
    memcpy(&header, bytes.data(), sizeof header);
    if (memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != OwnClass ||
        header.e_shoff == 0 || header.e_shentsize < sizeof(SectionHeader))
        return false;
    const uint64_t entryBytes = header.e_shentsize;

    // Section 0 holds the real count and name table index when they do not
    // fit the header's 16-bit fields.
    SectionHeader first;
    if (!file.Read(header.e_shoff, entryBytes, &bytes))
        return false;
    memcpy(&first, bytes.data(), sizeof first);
    const uint64_t count = header.e_shnum ? header.e_shnum : first.sh_size;
    const uint64_t namesIndex = header.e_shstrndx == SHN_XINDEX ? first.sh_link : header.e_shstrndx;
    if (count == 0 || count > MostSections || namesIndex >= count)
        return false;

    std::vector<uint8_t> table;
    if (!file.Read(header.e_shoff, count * entryBytes, &table))
        return false;
    auto entry = [&](uint64_t index) {
        SectionHeader found;
        memcpy(&found, &table[size_t(index * entryBytes)], sizeof found);
        return found;
    };
    const SectionHeader nameTable = entry(namesIndex);
    std::vector<uint8_t> names;
    if (nameTable.sh_size > MostNameBytes || !file.Read(nameTable.sh_offset, nameTable.sh_size, &names))
        return false;

    const size_t wantedBytes = strlen(wanted) + 1;
    for (uint64_t index = 1; index < count; ++index) {
        const SectionHeader candidate = entry(index);
        const uint64_t name = candidate.sh_name;
        if (name > names.size() || names.size() - name < wantedBytes ||
            memcmp(&names[size_t(name)], wanted, wantedBytes) != 0)
            continue;
        // Only a section that is loaded with the module has an address there.
        if (candidate.sh_type != SHT_PROGBITS || !(candidate.sh_flags & SHF_ALLOC))
            return false;
        section->Address = candidate.sh_addr;
        section->Size = candidate.sh_size;
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
