// The gauge finds its sounds by its own file name (windows build only): the
// same module, loaded once as "Lumivane.gau" and once as "Other.gau", loads
// both sounds under the first name and none under the second, since then the
// lookups search this program, which carries no clips. Both need Wine's real
// DirectSound on the ALSA file device named by the test's HOME.
#include "ProgramFolder.h"
#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The two copies are made beside this program by the build
// (tests/sound/CMakeLists.txt).
std::string ProbePath(const char* file)
{
    return ProgramFolder() + "probe\\" + file;
}

const int Device = 1;
const int Wave1 = 2;
const int Wave2 = 4;
const int OwnModule = 8;

int Probe(const char* file)
{
    const std::string path = ProbePath(file);
    HMODULE module = LoadLibraryA(path.c_str());
    EXPECT_NE(module, nullptr) << "LoadLibraryA(\"" << path << "\"), error " << GetLastError();
    if (!module)
        return -1;
    FARPROC address = GetProcAddress(module, "ProbeLoadSounds");
    EXPECT_NE(address, nullptr) << "ProbeLoadSounds in " << path;
    int found = -1;
    if (address)
        found = reinterpret_cast<int (*)(void)>(reinterpret_cast<void*>(address))();
    FreeLibrary(module);
    return found;
}

} // namespace

// Installed as Lumivane.gau the module finds both sounds in itself; under
// another file name the device is made, but neither sound is found.
TEST(ModuleFileName, OnlyLumivaneGauFindsItsSoundsInItself)
{
    const struct {
        const char* file;
        int found;
    } rows[] = {{"Lumivane.gau", Device | Wave1 | Wave2 | OwnModule}, {"Other.gau", Device}};
    for (const auto& row : rows) {
        const int found = Probe(row.file);
        ASSERT_GE(found, 0) << row.file;
        if (!(found & Device))
            GTEST_SKIP() << "No DirectSound device: Wine found no ALSA output. HOME must name the folder "
                            "with the .asoundrc that tests/sound/CMakeLists.txt writes.";
        EXPECT_EQ(found, row.found) << row.file;
    }
}
