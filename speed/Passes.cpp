// The host's side of a measured pass: each gauge linked into the program is
// opened, connected and installed by a GaugeHost of its own as the simulator
// does, and its callbacks are read from its element chain. The lean table's
// entry 40 answers an airspeed below Speed1. Lumivane is brought to the state
// it keeps in flight once its settings are loaded by its own code, as a
// pilot and a flight would: each speed stepped up and back by its handlers,
// which save it, the files read back by its load, Speed3 selected by its
// button, and a pass at rest, which re-arms the call-outs. Nothing here
// writes the gauge's memory.
#include "speed/Passes.h"

#include "bench/hosting/GaugeHost.h"
#include "bench/hosting/LinkedModuleLoader.h"
#include "platform/web/LinkedModule.h"
#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"
#include "speed/ReferenceGauges.h"

#include <dirent.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

namespace {

// Below a fresh load's Speed1: the lamps are dark and no sound is asked
// for, so every pass does the same work.
const double RestingAirspeed = 40.0;

const char* const ModuleNames[PassKindCount] = {LINKED_MODULE_NAME, MINIMAL_GAUGE_NAME, NULL_GAUGE_NAME};

struct HostedGauge {
    GaugeHost Host;
    PassGauge Gauge = {};
    bool Ready = false;

    ~HostedGauge()
    {
        if (Host.Installed())
            Host.Kill();
    }
};

// The callbacks of a chain of Lumivane's shape: a background, six icons and
// a text element, each with its callback.
bool ReadCallbacks(const GaugeHost& host, PassGauge* gauge)
{
    int icons = 0, texts = 0;
    for (ElementHeader* e : host.Chain()) {
        if (e->Kind == IconKind && icons < 6)
            gauge->Icons[icons++] = reinterpret_cast<IconElement*>(e)->Callback;
        else if (e->Kind == TextStringKind && texts++ == 0)
            gauge->Readout = reinterpret_cast<TextElement*>(e)->Callback;
        else if (e->Kind != StaticImageKind)
            return false;
    }
    for (IconCallback icon : gauge->Icons)
        if (!icon)
            return false;
    return icons == 6 && texts == 1 && gauge->Readout;
}

HostedGauge* Hosted(PassKind kind, std::string* error)
{
    static const bool linked = LinkModule(MINIMAL_GAUGE_NAME, &MinimalGaugeLinkage, &MinimalGaugeImportTable) &&
                               LinkModule(NULL_GAUGE_NAME, &NullGaugeLinkage, &NullGaugeImportTable);
    static HostedGauge gauges[PassKindCount];
    HostedGauge& hosted = gauges[kind];
    if (hosted.Ready)
        return &hosted;
    GaugeHost& host = hosted.Host;
    if (!linked) {
        *error = "the reference gauges could not be linked in";
        return nullptr;
    }
    if (!host.Loaded() && !host.Load(ModuleNames[kind], error))
        return nullptr;
    host.TraceServices(false);
    host.ConnectLeanServices(RestingAirspeed);
    host.Serve();
    host.Install(0);
    if (!ReadCallbacks(host, &hosted.Gauge)) {
        *error = std::string(ModuleNames[kind]) + "'s chain is not a background, six icons and a readout";
        return nullptr;
    }
    hosted.Gauge.Text = host.TextBuffer(0);
    hosted.Ready = true;
    return &hosted;
}

// The gauge's settings loaded by its own code from files it wrote itself,
// in a folder of their own that is gone afterwards (the native gauge opens
// "C:\name" relative to the working directory). The speeds are the ones it
// holds: a fresh load's in a fresh program.
bool LoadOwnSettings(std::string* error)
{
    char here[PATH_MAX], folder[] = "/tmp/lumivane-passes-XXXXXX";
    if (!getcwd(here, sizeof here) || !mkdtemp(folder) || chdir(folder) != 0) {
        *error = "cannot make a folder for the gauge's settings files";
        return false;
    }
    AreaHandler selectors[] = {SelectSpeed1Handler, SelectSpeed2Handler, SelectSpeed3Handler};
    for (AreaHandler select : selectors) {
        // Up and back down, saved as it was: a fresh load's speeds have room
        // above each.
        select(0, 0);
        SpeedUpHandler(0, 0);
        SpeedDownHandler(0, 0);
    }
    const bool loaded = LoadSettings() == 1;
    if (DIR* files = opendir(".")) {
        while (const dirent* file = readdir(files))
            if (strcmp(file->d_name, ".") != 0 && strcmp(file->d_name, "..") != 0)
                remove(file->d_name);
        closedir(files);
    }
    const bool back = chdir(here) == 0;
    rmdir(folder);
    if (!loaded || !back)
        *error = "the gauge did not load the settings files it saved";
    return loaded && back;
}

} // namespace

const char* PassName(PassKind kind)
{
    switch (kind) {
    case GaugePass:
        return "gauge";
    case MinimalPass:
        return "minimal";
    case NullPass:
        return "null";
    default:
        return "?";
    }
}

const PassGauge* PreparePass(PassKind kind, std::string* error)
{
    std::string why;
    HostedGauge* hosted = Hosted(kind, &why);
    if (!hosted) {
        if (error)
            *error = why;
        return nullptr;
    }
    hosted->Host.Serve();
    if (kind == GaugePass) {
        if (!SettingsLoaded && !LoadOwnSettings(&why)) {
            if (error)
                *error = why;
            return nullptr;
        }
        SelectSpeed3Handler(0, 0);
        RunPass(hosted->Gauge);
    }
    return &hosted->Gauge;
}

const PassGauge* CheckPass(PassKind kind, std::string* error)
{
    const PassGauge* gauge = PreparePass(kind, error);
    if (!gauge)
        return nullptr;
    RunPass(*gauge);
    RunPass(*gauge);
    const char* expected = kind == NullPass ? "" : "100";
    if (strcmp(gauge->Text, expected) == 0)
        return gauge;
    *error = std::string("the ") + PassName(kind) + " pass does not write its readout";
    return nullptr;
}
