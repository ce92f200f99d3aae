// The bench finds the resources of the real Lumivane.gau as the host does,
// in both builds: each bitmap by its integer id, each clip by its name in any
// case, and nothing across types or in a program that carries no resources.
// Natively this reads the module's resource section from its file.
#include "tests/bench/TestModule.h"
#include "bench/hosting/ModuleResources.h"

#include <gtest/gtest.h>

#include <string.h>

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
