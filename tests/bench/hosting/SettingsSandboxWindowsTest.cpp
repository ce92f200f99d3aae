// The settings sandbox under Wine as the module meets it: its own import of
// fopen, called through its import slot, opens C:\name in the sandbox folder
// and refuses every other path; entering the sandbox again, for a second run
// on the same loaded module, moves the folder, starts a fresh list of
// refusals and still reaches msvcrt's fopen, never the replacement itself.
#include "bench/files/Files.h"
#include "bench/hosting/ImportHooks.h"
#include "bench/hosting/SettingsSandbox.h"
#include "tests/bench/TestModule.h"

#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

namespace {

typedef FILE*(__cdecl* FopenFunction)(const char*, const char*);

FILE* __cdecl Nothing(const char*, const char*)
{
    return nullptr;
}

// What the module's fopen slot holds now, read by patching it and putting
// back what it held.
FopenFunction ModuleFopen(void* module)
{
    void* held = nullptr;
    ImportHook peek = {"msvcrt.dll", "fopen", reinterpret_cast<void*>(&Nothing), &held, false};
    if (HookImports(module, &peek, 1) != 1)
        return nullptr;
    ImportHook back = {"msvcrt.dll", "fopen", held, nullptr, false};
    HookImports(module, &back, 1);
    return reinterpret_cast<FopenFunction>(held);
}

struct Open {
    const char* Path;
    const char* Mode;
    const char* Lands; // the file it makes in the sandbox folder, or null: refused
};

struct SandboxRun {
    const char* Folder;
    std::vector<Open> Opens;
};

const SandboxRun Runs[] = {
    {"sandbox-first", {
        {"C:\\pelmo", "w", "pelmo"},
        {"c:/pelmo1", "w", "pelmo1"},    // either case, either separator
        {"D:\\pelmo", "w", nullptr},     // another drive
        {"C:\\sub\\pelmo2", "w", nullptr}, // a folder below the root of C
        {"C:\\", "r", nullptr},          // no name at all
        {nullptr, "r", nullptr},
    }},
    {"sandbox-second", {
        {"C:\\pelmo2", "w", "pelmo2"},   // reaches msvcrt, in the new folder
        {"E:\\x", "r", nullptr},
    }},
};

} // namespace

TEST(SettingsSandboxUnderWine, EachRunOpensInItsOwnFolderAndReportsOnlyItsOwnRefusals)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    for (const SandboxRun& run : Runs) {
        const std::string folder = ProgramFolder() + run.Folder;
        ASSERT_TRUE(MakeFolders(folder)) << folder;
        std::string error;
        ASSERT_TRUE(EnterSandbox(module, folder, &error)) << error;
        FopenFunction open = ModuleFopen(module);
        ASSERT_NE(open, nullptr) << "the module's fopen slot";
        std::vector<std::string> refused;
        for (const Open& o : run.Opens) {
            const std::string path = o.Path ? o.Path : "(null)";
            if (o.Lands)
                remove(JoinPath(folder, o.Lands).c_str());
            FILE* file = open(o.Path, o.Mode);
            EXPECT_EQ(file != nullptr, o.Lands != nullptr) << "fopen(" << path << ") in " << run.Folder;
            if (file)
                fclose(file);
            if (o.Lands) {
                std::string bytes, problem;
                EXPECT_TRUE(ReadWholeFile(JoinPath(folder, o.Lands), &bytes, &problem))
                    << path << " lands in " << run.Folder << ": " << problem;
            } else {
                refused.push_back(path + " (mode " + o.Mode + ")");
            }
        }
        EXPECT_EQ(SandboxRefusals(), refused) << "the refusals of the run in " << run.Folder << " alone";
        LeaveSandbox();
    }
}
