// The loader of modules linked into the program and the gauge's own
// GetModuleHandleA there, compiled natively from the page's sources: the
// loader is the only one that opens and closes a module, the stand-in only
// learns whether the gauge is loaded, and the two agree on the handle at
// every step; another module linked in beside the gauge is a module of its
// own. Then the bench's host over the linked gauge, as the reliability runs
// and the speed figures host it: what each way of hosting leaves in the
// module's records and what it counts. Sequences of steps, each with what
// every side must answer after it.
#include "bench/hosting/GaugeHost.h"
#include "bench/hosting/LinkedModuleLoader.h"
#include "callouts/Lamps.h"
#include "host/Records.h"
#include "host/Services.h"
#include "panel/Panel.h"
#include "platform/Platform.h"
#include "platform/web/LinkedModule.h"
#include "sound/SoundObjects.h"

#include <gtest/gtest.h>

#include <string>

extern "C" ModuleLinkage Linkage;
extern "C" ModuleImports ImportTable;

namespace {

// A module linked in beside the gauge: only its two records' addresses matter.
ModuleLinkage TwinLinkage = {};
ModuleImports TwinImports = {};

bool LinkTwin()
{
    static const bool linked = LinkModule("Twin.gau", &TwinLinkage, &TwinImports);
    return linked;
}

enum Action { Open, Close, CloseForeign };

struct Step {
    Action What;
    const char* Path;  // the module opened, or whose last handle is closed
    bool Opened;       // Open: a handle comes back
    bool LoadedAfter;  // GetModuleHandleA finds the gauge after the step
};

const Step Steps[] = {
    {Close, "Lumivane.gau", false, false},                  // closing what was never opened
    {Open, "Other.gau", false, false},                      // another module is a missing file
    {Open, nullptr, false, false},
    {Open, "gauges\\LUMIVANE.GAU", true, true},             // any folder, any case
    {Open, "/page/Lumivane.gau", true, true},               // a second open
    {CloseForeign, nullptr, false, true},                   // a handle not ours changes nothing
    {Close, "Lumivane.gau", false, true},                   // one open still outstanding
    {Close, "Lumivane.gau", false, false},                  // the last: no longer loaded
    {Close, "Lumivane.gau", false, false},                  // one close too many
    {Open, "Lumivane.gau", true, true},                     // loaded again
    {Close, "Lumivane.gau", false, false},
    {Open, "other\\TWIN.GAU", true, false},                 // linked beside it: not the gauge
    {Open, "Lumivane.gau", true, true},
    {Close, "Twin.gau", false, true},                       // its own count, apart from the gauge's
    {Close, "Twin.gau", false, true},                       // one close too many of it
    {Close, "Lumivane.gau", false, false},
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
    ASSERT_TRUE(LinkTwin());
    void* handles[2] = {}; // the gauge's, Twin.gau's
    char foreign = 0;
    for (size_t i = 0; i < sizeof Steps / sizeof Steps[0]; ++i) {
        const Step& step = Steps[i];
        void*& handle = handles[IsModuleFileName(step.Path, "Twin.gau") ? 1 : 0];
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
            EXPECT_EQ(static_cast<void*>(found), handles[0]) << "the gauge's handle is the host's, after " << Describe(i);
        EXPECT_EQ(LinkedModuleHandle() != nullptr, step.LoadedAfter) << "LinkedModuleHandle after " << Describe(i);
        EXPECT_EQ(GetModuleHandleA("Other.gau"), nullptr) << "another name, after " << Describe(i);
        EXPECT_EQ(GetModuleHandleA("Twin.gau"), nullptr) << "a module linked beside it, after " << Describe(i);
    }
    EXPECT_NE(handles[1], handles[0]);
}

TEST(LinkedModuleLoader, FindsExactlyTheTwoExportsByNameWhileOpen)
{
    ASSERT_TRUE(LinkTwin());
    struct Lookup {
        const char* Module;
        const char* Name;
        void* Expected;
    };
    const Lookup lookups[] = {
        {"Lumivane.gau", "Linkage", &Linkage},
        {"Lumivane.gau", "ImportTable", &ImportTable},
        {"Lumivane.gau", "linkage", nullptr},      // export names are exact, unlike module names
        {"Lumivane.gau", "Gauge", nullptr},        // defined in the gauge, not exported
        {"Lumivane.gau", "", nullptr},
        {"Lumivane.gau", nullptr, nullptr},
        {"twin.gau", "Linkage", &TwinLinkage},     // a module linked beside it, its own exports
        {"twin.gau", "ImportTable", &TwinImports},
        {"twin.gau", "TwinLinkage", nullptr},
    };
    char foreign = 0;
    for (const Lookup& lookup : lookups) {
        const std::string name = std::string(lookup.Module) + " " + (lookup.Name ? lookup.Name : "(null)");
        void* handle = OpenLinkedModule(lookup.Module);
        ASSERT_NE(handle, nullptr) << name;
        EXPECT_EQ(LinkedModuleSymbol(handle, lookup.Name), lookup.Expected) << "LinkedModuleSymbol(" << name << ")";
        EXPECT_EQ(LinkedModuleSymbol(&foreign, lookup.Name), nullptr) << name << " through a foreign handle";
        EXPECT_EQ(LinkedModuleSymbol(nullptr, lookup.Name), nullptr) << name << " through a null handle";
        CloseLinkedModule(handle);
        EXPECT_EQ(LinkedModuleSymbol(handle, "Linkage"), nullptr) << name << ", after the last close";
    }
}

TEST(LinkedModuleLoader, LinksAModuleBesideTheGaugeOnlyUnderAFreshName)
{
    ASSERT_TRUE(LinkTwin());
    ModuleLinkage linkage = {};
    ModuleImports imports = {};
    const struct {
        const char* Name;
        bool Exports;
        bool Linked;
        bool Carried; // a module of that name is linked in afterwards
    } rows[] = {
        {nullptr, true, false, false},
        {"Lumivane.gau", true, false, true}, // the gauge's own name
        {"TWIN.GAU", true, false, true},     // taken, in any case
        {"Third.gau", false, false, false},  // without its exports
        {"Third.gau", true, true, true},
        {"Fourth.gau", true, true, true},
        {"Fifth.gau", true, true, true},     // the fourth beside the gauge: the last there is room for
        {"Sixth.gau", true, false, false},
    };
    for (const auto& row : rows) {
        const std::string name = row.Name ? row.Name : "(null)";
        EXPECT_EQ(LinkModule(row.Name, row.Exports ? &linkage : nullptr, &imports), row.Linked) << name;
        EXPECT_EQ(IsLinkedModule(row.Name), row.Carried) << name;
    }
}

// The bench's host over the linked gauge. Steps: C connect the usual table,
// L the lean one (answering 40), B lend the text buffers, R take the gauge's
// areas as registered, I install, P a pass at 95, K kill, U unload.
TEST(LinkedModuleLoader, AHostOfTheLinkedGaugeLeavesItsRecordsAsItFoundThem)
{
    const struct {
        const char* Steps;
        bool Table;         // ImportTable holds a table afterwards
        bool Buffer;        // the readout element holds a buffer
        bool Pressable;     // a press on the increase area lands
        int Installs;       // entries 25 and 40, as the host counted them
        int Lookups;
        double Airspeed;    // what the gauge's airspeed record holds
    } rows[] = {
        {"CIP", true, true, true, 1, 3, 95.0},
        {"LIP", true, true, true, 1, 0, 40.0},   // the lean entry answers its own airspeed, uncounted
        {"CIPK", true, true, false, 1, 3, 95.0}, // the kill unregisters the areas
        {"CIPKU", false, false, false, 1, 3, 95.0},
        {"LIPKU", false, false, false, 1, 0, 40.0},
        {"BRP", false, true, true, 0, 0, 0.0},   // shown and pressed without a table or an install
        {"BRU", false, false, false, 0, 0, 0.0},
        {"P", false, false, false, 0, 0, 0.0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Steps);
        Airspeed.Value = 0.0;
        {
            GaugeHost host;
            ASSERT_TRUE(host.Load("Lumivane.gau"));
            host.TraceServices(false);
            for (const char* step = row.Steps; *step; ++step) {
                switch (*step) {
                case 'C': host.ConnectServices(); break;
                case 'L': host.ConnectLeanServices(40.0); break;
                case 'B': host.LendTextBuffers(); break;
                case 'R': host.RegisterAreas(MouseAreas); break;
                case 'I': host.Install(0); break;
                case 'P': host.Pass(95.0); break;
                case 'K': host.Kill(); break;
                case 'U': host.Unload(); break;
                }
            }
            EXPECT_EQ(ImportTable.Services != nullptr, row.Table);
            EXPECT_EQ(ReadoutElement.TextBuffer != nullptr, row.Buffer);
            EXPECT_EQ(host.AreaAt(70, 40) != nullptr, row.Pressable);
            EXPECT_EQ(host.ServiceCalls(ElementTreeInstall), row.Installs);
            EXPECT_EQ(host.ServiceCalls(VariableLookup), row.Lookups);
            EXPECT_EQ(double(Airspeed.Value), row.Airspeed);
            EXPECT_TRUE(host.StackFaults().empty());
            if (host.Installed())
                host.Kill();
        }
        // However it was hosted, the next host finds the records as the
        // module defines them (their fields read by value: the records are
        // packed as the host lays them out).
        EXPECT_EQ(static_cast<void*>(ImportTable.Services), nullptr);
        EXPECT_EQ(static_cast<void*>(ReadoutElement.TextBuffer), nullptr);
        EXPECT_EQ(static_cast<void*>(BackgroundElement.HostFilled), nullptr);
        EXPECT_EQ(SoundDevice, nullptr);
    }
}
