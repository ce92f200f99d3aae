// The web page's loader of the module linked into it and the gauge's own
// GetModuleHandleA there, compiled natively from the page's sources: the
// loader is the only one that opens and closes the module, the stand-in only
// learns whether it is loaded, and the two agree on the handle at every step.
// A sequence of steps, each with what every side must answer after it.
#include "bench/hosting/LinkedModuleLoader.h"
#include "host/Records.h"
#include "platform/Platform.h"
#include "platform/web/LinkedModule.h"

#include <gtest/gtest.h>

#include <string>

// The page compiles its resource image in; the loader never looks at it.
extern "C" const uint8_t LinkedResourceImage[] = {0};
extern "C" const size_t LinkedResourceImageSize = 0;

extern "C" ModuleLinkage Linkage;
extern "C" ModuleImports ImportTable;

namespace {

enum Action { Open, Close, CloseForeign };

struct Step {
    Action What;
    const char* Path;  // for Open
    bool Opened;       // Open: a handle comes back
    bool LoadedAfter;  // GetModuleHandleA finds the module after the step
};

const Step Steps[] = {
    {Close, nullptr, false, false},                         // closing what was never opened
    {Open, "Other.gau", false, false},                      // another module is a missing file
    {Open, nullptr, false, false},
    {Open, "gauges\\LUMIVANE.GAU", true, true},             // any folder, any case
    {Open, "/page/Lumivane.gau", true, true},               // a second open
    {CloseForeign, nullptr, false, true},                   // a handle not ours changes nothing
    {Close, nullptr, false, true},                          // one open still outstanding
    {Close, nullptr, false, false},                         // the last: no longer loaded
    {Close, nullptr, false, false},                         // one close too many
    {Open, "Lumivane.gau", true, true},                     // loaded again
    {Close, nullptr, false, false},
};

std::string Describe(size_t index)
{
    const Step& step = Steps[index];
    const char* what = step.What == Open ? "open" : step.What == Close ? "close" : "close of a foreign handle";
    return "step " + std::to_string(index) + " (" + what + (step.Path ? std::string(" ") + step.Path : "") + ")";
}

} // namespace

TEST(LinkedModuleLoader, OpensClosesAndTellsTheStandInWhenTheModuleIsLoaded)
{
    void* handle = nullptr;
    char foreign = 0;
    for (size_t i = 0; i < sizeof Steps / sizeof Steps[0]; ++i) {
        const Step& step = Steps[i];
        if (step.What == Open) {
            void* opened = OpenLinkedModule(step.Path);
            EXPECT_EQ(opened != nullptr, step.Opened) << Describe(i);
            if (opened)
                handle = opened;
        } else {
            CloseLinkedModule(step.What == Close ? handle : &foreign);
        }
        HMODULE found = GetModuleHandleA("Lumivane.gau");
        EXPECT_EQ(found != nullptr, step.LoadedAfter) << "GetModuleHandleA after " << Describe(i);
        if (found)
            EXPECT_EQ(static_cast<void*>(found), handle) << "the gauge's handle is the host's, after " << Describe(i);
        EXPECT_EQ(LinkedModuleHandle() != nullptr, step.LoadedAfter) << "LinkedModuleHandle after " << Describe(i);
        EXPECT_EQ(GetModuleHandleA("Other.gau"), nullptr) << "another name, after " << Describe(i);
    }
}

TEST(LinkedModuleLoader, FindsExactlyTheTwoExportsByNameWhileOpen)
{
    struct Lookup {
        const char* Name;
        void* Expected;
    };
    const Lookup lookups[] = {
        {"Linkage", &Linkage},
        {"ImportTable", &ImportTable},
        {"linkage", nullptr},      // export names are exact, unlike module names
        {"Gauge", nullptr},        // defined in the gauge, not exported
        {"", nullptr},
        {nullptr, nullptr},
    };
    void* handle = OpenLinkedModule("Lumivane.gau");
    ASSERT_NE(handle, nullptr);
    char foreign = 0;
    for (const Lookup& lookup : lookups) {
        const std::string name = lookup.Name ? lookup.Name : "(null)";
        EXPECT_EQ(LinkedModuleSymbol(handle, lookup.Name), lookup.Expected) << "LinkedModuleSymbol(" << name << ")";
        EXPECT_EQ(LinkedModuleSymbol(&foreign, lookup.Name), nullptr) << name << " through a foreign handle";
        EXPECT_EQ(LinkedModuleSymbol(nullptr, lookup.Name), nullptr) << name << " through a null handle";
    }
    CloseLinkedModule(handle);
    EXPECT_EQ(LinkedModuleSymbol(handle, "Linkage"), nullptr) << "after the last close";
}
