// The bench finds the resources of the real Lumivane.gau as the host does,
// in both builds: each bitmap by its integer id, each clip by its name in any
// case, and nothing across types or in a program that carries no resources.
// Natively this reads the module's resource section from its file, and only
// a section loaded with the module counts: copies of the module whose
// section header says otherwise hold nothing.
#include "tests/bench/TestModule.h"
#include "bench/hosting/ModuleResources.h"

#include <gtest/gtest.h>

#include <string.h>
#ifndef _WIN32
#include "bench/files/Files.h"
#include "bench/hosting/LoadedSegments.h"

#include <dlfcn.h>
#include <elf.h>

#include <functional>
#endif

namespace {

struct Expected {
    uint16_t Type;
    uint16_t Id;      // when Name is null
    const char* Name; // any case
    uint32_t Size;    // 0: not to be found
    const char* Starts; // the first bytes: biSize 40 for a bitmap, "RIFF" for a clip
};

const Expected Cases[] = {
    {2, 4096, nullptr, 8064, "\x28\0\0\0"},
    {2, 8192, nullptr, 1464, "\x28\0\0\0"},
    {2, 8198, nullptr, 1464, "\x28\0\0\0"},
    {2, 12294, nullptr, 1220, "\x28\0\0\0"},
    {10, 0, "WAVE1", 2968, "RIFF"},
    {10, 0, "wave2", 3828, "RIFF"},
    {10, 0, "Wave1", 2968, "RIFF"},
    {2, 4097, nullptr, 0, nullptr},   // no such id
    {10, 4096, nullptr, 0, nullptr},  // a bitmap's id under another type
    {2, 0, "WAVE1", 0, nullptr},      // a clip's name under another type
    {10, 0, "WAVE", 0, nullptr},      // a prefix of a name
    {10, 0, "WAVE12", 0, nullptr},    // a name that a stored one prefixes
};

std::string Describe(const Expected& expected)
{
    return "type " + std::to_string(expected.Type) + " " +
           (expected.Name ? std::string("\"") + expected.Name + "\"" : std::to_string(expected.Id));
}

} // namespace

TEST(ModuleResources, FindsEachResourceOfTheModuleByIdOrName)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    for (const Expected& expected : Cases) {
        ModuleResource found = {reinterpret_cast<const uint8_t*>(1), 1};
        const bool ok = expected.Name ? FindModuleResource(module, expected.Type, expected.Name, &found)
                                      : FindModuleResource(module, expected.Type, expected.Id, &found);
        EXPECT_EQ(ok, expected.Size != 0) << "FindModuleResource(" << Describe(expected) << ")";
        EXPECT_EQ(found.Size, expected.Size) << "size of " << Describe(expected);
        if (!ok) {
            EXPECT_EQ(found.Bytes, nullptr) << "output cleared when " << Describe(expected) << " is missing";
            continue;
        }
        ASSERT_NE(found.Bytes, nullptr) << Describe(expected);
        EXPECT_EQ(memcmp(found.Bytes, expected.Starts, 4), 0) << "first bytes of " << Describe(expected);
    }
}

TEST(ModuleResources, AProgramWithoutResourcesHasNone)
{
    void* program = TestProgramHandle();
    ASSERT_NE(program, nullptr);
    ModuleResource found = {reinterpret_cast<const uint8_t*>(1), 1};
    EXPECT_FALSE(FindModuleResource(program, 2, uint16_t(4096), &found)) << "bitmap 4096 in the test program";
    EXPECT_FALSE(FindModuleResource(program, 10, "WAVE1", &found)) << "WAVE1 in the test program";
    EXPECT_EQ(found.Bytes, nullptr);
    EXPECT_EQ(found.Size, 0u);
}

#ifndef _WIN32
TEST(ModuleResources, OnlyASectionLoadedWithTheModuleHoldsThem)
{
    std::string bytes, problem;
    ASSERT_TRUE(ReadWholeFile(LUMIVANE_NATIVE_MODULE, &bytes, &problem)) << problem;
    Elf64_Ehdr header;
    memcpy(&header, bytes.data(), sizeof header);
    auto sectionAt = [&](size_t i) { return header.e_shoff + i * header.e_shentsize; };
    Elf64_Shdr names;
    memcpy(&names, bytes.data() + sectionAt(header.e_shstrndx), sizeof names);
    size_t resources = 0;
    for (size_t i = 1; i < header.e_shnum && !resources; ++i) {
        Elf64_Shdr section;
        memcpy(&section, bytes.data() + sectionAt(i), sizeof section);
        if (strcmp(bytes.data() + names.sh_offset + section.sh_name, "lumivane_resources") == 0)
            resources = i;
    }
    ASSERT_NE(resources, 0u) << "the module's resource section";

    const struct {
        const char* what;
        std::function<void(Elf64_Ehdr*, Elf64_Shdr*)> bend;
        bool found;
        // A names' table of this many bytes moved to the end of the file,
        // the real names at its start.
        uint64_t namesBytes = 0;
    } rows[] = {
        {"as built", [](Elf64_Ehdr*, Elf64_Shdr*) {}, true},
        {"not allocated", [](Elf64_Ehdr*, Elf64_Shdr* s) { s->sh_flags &= ~uint64_t(SHF_ALLOC); }, false},
        {"no bits in the file", [](Elf64_Ehdr*, Elf64_Shdr* s) { s->sh_type = SHT_NOBITS; }, false},
        {"named otherwise", [](Elf64_Ehdr*, Elf64_Shdr* s) { s->sh_name += 1; }, false},
        // The names' section one past the last, and the last itself (where
        // the linker puts it).
        {"names past the table", [](Elf64_Ehdr* h, Elf64_Shdr*) { h->e_shstrndx = h->e_shnum; }, false},
        {"names in the last section", [](Elf64_Ehdr* h, Elf64_Shdr*) { h->e_shstrndx = uint16_t(h->e_shnum - 1); },
            true},
        {"no sections", [](Elf64_Ehdr* h, Elf64_Shdr*) { h->e_shnum = 0; }, false},
        // Allocated and with bits, but at an address no segment loads.
        {"past the segments", [](Elf64_Ehdr*, Elf64_Shdr* s) { s->sh_addr += 0x40000000; }, false},
        {"names of the most bytes read", [](Elf64_Ehdr*, Elf64_Shdr*) {}, true, 1 << 20},
        {"names of a byte more", [](Elf64_Ehdr*, Elf64_Shdr*) {}, false, (1 << 20) + 1},
    };
    for (const auto& row : rows) {
        std::string copy = bytes;
        Elf64_Ehdr bentHeader = header;
        Elf64_Shdr section;
        memcpy(&section, copy.data() + sectionAt(resources), sizeof section);
        row.bend(&bentHeader, &section);
        memcpy(&copy[0], &bentHeader, sizeof bentHeader);
        memcpy(&copy[sectionAt(resources)], &section, sizeof section);
        if (row.namesBytes) {
            std::string table(size_t(row.namesBytes), '\0');
            table.replace(0, size_t(names.sh_size), bytes, size_t(names.sh_offset), size_t(names.sh_size));
            Elf64_Shdr moved = names;
            moved.sh_offset = copy.size();
            moved.sh_size = row.namesBytes;
            copy += table;
            memcpy(&copy[sectionAt(header.e_shstrndx)], &moved, sizeof moved);
        }
        const std::string path = AbsolutePath(std::string("resources-") + row.what + ".gau");
        ASSERT_TRUE(WriteWholeFile(path, copy));
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        ModuleResource found = {nullptr, 0};
        EXPECT_EQ(FindModuleResource(module, 2, uint16_t(4096), &found), row.found) << row.what;
        EXPECT_EQ(found.Size, row.found ? 8064u : 0u) << row.what;
        dlclose(module);
    }
}

TEST(ModuleResources, ASectionIsLoadedOnlyWithinTheFileBytesOfALoadingSegment)
{
    // Two segments of the module; what lies past them is never one of its
    // own, however it reads.
    ElfW(Phdr) segments[3] = {};
    segments[0].p_type = PT_LOAD, segments[0].p_vaddr = 0x1000, segments[0].p_filesz = 0x100;
    segments[0].p_memsz = 0x400;
    segments[1].p_type = PT_DYNAMIC, segments[1].p_vaddr = 0x3000, segments[1].p_filesz = 0x100;
    segments[2].p_type = PT_LOAD, segments[2].p_vaddr = 0x3000, segments[2].p_filesz = 0x100;
    const struct {
        uint64_t address, size;
        size_t count;
        bool loaded;
    } rows[] = {
        {0x1000, 0x100, 2, true},
        {0x1000, 0x101, 2, false}, // into the bytes that are not the file's
        {0x10FF, 0x1, 2, true},
        {0x1100, 0x0, 2, true},
        {0x1100, 0x1, 2, false},
        {0x0FFF, 0x1, 2, false},
        {0x3000, 0x10, 2, false}, // not a loading segment
        {0x3000, 0x10, 3, true},
        {0x1000, 0xFFFFFFFFFFFFFFFFu, 2, false},
        {0xFFFFFFFFFFFFFFFFu, 0x1, 2, false},
        {0x1000, 0x10, 0, false},
    };
    for (const auto& r : rows)
        EXPECT_EQ(InLoadedSegments(segments, r.count, r.address, r.size), r.loaded)
            << std::hex << r.address << " + " << r.size << " in " << r.count << " segments";
}
#endif
