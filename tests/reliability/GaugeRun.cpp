// The whole-gauge runs' use of the bench's host. The gauge's own names are
// used only to find the mouse area list it registers and the module's state
// that a fresh load of the module would reset.
#include "GaugeRun.h"

#include "bench/sound/Bursts.h"
#include "callouts/Lamps.h"
#include "panel/Panel.h"
#include "platform/SoftDirectSound.h"
#include "platform/web/LinkedModule.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

GaugeRun::GaugeRun(bool connectServices)
{
    std::string error;
    if (!host_.Load(LINKED_MODULE_NAME, &error))
        ADD_FAILURE() << error;
    // A run of hundreds of thousands of passes keeps no trace of its calls;
    // the host still counts them.
    host_.TraceServices(false);
    if (connectServices)
        host_.ConnectServices();
    host_.LendTextBuffers();
    host_.RegisterAreas(MouseAreas);
}

PassView GaugeRun::Pass(double airspeed)
{
    const int32_t before = CalloutStage;
    host_.Pass(airspeed, &results_);
    PassView view;
    static_cast<PanelView&>(view) = ViewOfLumivane(results_);
    view.StageBefore = before;
    view.StageAfter = CalloutStage;
    if (SoundDevice)
        SoftDirectSoundAdvance(SoundDevice, SOFT_DIRECTSOUND_RATE / PassesPerSecond);
    return view;
}

AreaHandler GaugeRun::Press(int x, int y, int repeats)
{
    MouseArea* area = host_.AreaAt(x, y);
    if (!area)
        return nullptr;
    host_.Press(x, y, true, repeats);
    return area->Handler;
}

int GaugeRun::Bursts() const
{
    DWORD count = 0;
    const int16_t* track = SoundDevice ? SoftDirectSoundTrack(SoundDevice, &count) : nullptr;
    // Gaps of up to 20 ms are inside one burst; the double beep's gap is
    // 85 ms, so it counts as two.
    BurstFinder finder(SOFT_DIRECTSOUND_RATE / 50);
    for (DWORD i = 0; i < count; ++i)
        if (track[i] != 0)
            finder.Sound(i);
    return int(finder.Bursts().size());
}

void GaugeRun::ClearTrack()
{
    if (SoundDevice)
        SoftDirectSoundClearTrack(SoundDevice);
}

bool SpeedsInOrder()
{
    return 0 <= Speed1 && Speed1 < Speed2 && Speed2 < Speed3 && Speed3 <= 200;
}

long RunLength(const char* variable, long bounded)
{
    const char* text = getenv(variable);
    long value = text ? strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : bounded;
}

void Figure(const char* name, const std::string& text)
{
    printf("figure: %s %s\n", name, text.c_str());
    fflush(stdout);
}

void WholeGaugeTest::SetUp()
{
    SettingsTest::SetUp();
    SoftDirectSoundClearFaults();
    CalloutStage = 0;
    ASSERT_EQ(SoundDevice, nullptr);
    ASSERT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device outlived the test before";
    ASSERT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer outlived the test before";
}

void WholeGaugeTest::StartFresh(const char* files)
{
    RemoveFiles();
    ResetModuleState();
    for (const char* f = files; *f; ++f)
        WriteFile(*f == '3' ? Speed3File : *f == '1' ? Speed1File : Speed2File,
                  *f == '3' ? "100" : *f == '1' ? "80" : "90");
    CalloutStage = 0;
    Airspeed.Value = 0.0;
}

void WholeGaugeTest::TearDown()
{
    SoftDirectSoundClearFaults();
    EXPECT_EQ(SoundDevice, nullptr) << "the test ended with the gauge installed";
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device was leaked";
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer was leaked";
    SettingsTest::TearDown();
}

std::vector<double> Ramp(double from, double to, double perSecond)
{
    int steps = int(lround(fabs(to - from) / perSecond * GaugeRun::PassesPerSecond));
    if (steps < 1)
        steps = 1;
    std::vector<double> airspeeds;
    for (int i = 0; i <= steps; ++i)
        airspeeds.push_back(from + (to - from) * i / steps);
    return airspeeds;
}
