// Lumivane.gau with Wine's real DirectSound, recorded by ALSA's file device:
// a take-off sounds single, single, double; the stage survives kill and
// install; and a copy under another file name runs without a sound. What the
// gauge asks of DirectSound is seen through the host's tap on its import, and
// what a pilot would hear is read from the recording.
#include "bench/hosting/GaugeHost.h"
#include "PanelView.h"
#include "bench/sound/AlsaCapture.h"
#include "bench/sound/Bursts.h"
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/sound/SoundTap.h"
#include "ProgramFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>

namespace {

const char* const SettingsFiles[] = {"C:\\pelmo", "C:\\pelmo1", "C:\\pelmo2"};

// The beeps peak near -18 dB; -40 dB leaves the resampler's ringing out.
constexpr float Threshold = 0.01f;

class GaugeSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* path : SettingsFiles)
            remove(path);
        capture_ = CaptureBesideProgram("gauge-sound-home");
        DeleteFileA(capture_.c_str());
        ClearSoundEvents();
    }

    void TearDown() override
    {
        EXPECT_TRUE(host.StackFaults().empty()) << host.StackFaults().front();
        for (const char* path : SettingsFiles)
            remove(path);
    }

    void LoadAndInstall(const char* fileName)
    {
        std::string error;
        ASSERT_TRUE(host.Load(ProgramFolder() + fileName, &error)) << error;
        ASSERT_TRUE(TapGaugeSound(host.ModuleHandle(), false, &LumivaneDescription()));
        host.ConnectServices();
        host.Install(0);
        for (const SoundEvent& event : SoundEvents())
            if (event.What == SoundEvent::DeviceRefused)
                GTEST_SKIP() << "No DirectSound device: Wine found no ALSA output. HOME must name the "
                                "folder with the .asoundrc that tests/module/CMakeLists.txt writes.";
    }

    // Passes at the host's 18 a second, in real time, so that the sounds
    // play out as they would in the cockpit.
    void Fly(double from, double to, double perSecond)
    {
        int passes = int((to - from) / perSecond * 18);
        for (int i = 0; i <= passes; ++i) {
            host.Pass(from + (to - from) * i / passes);
            Sleep(1000 / 18);
        }
    }

    std::vector<const SoundEvent*> Plays() const
    {
        std::vector<const SoundEvent*> plays;
        for (const SoundEvent& event : SoundEvents())
            if (event.What == SoundEvent::Played)
                plays.push_back(&event);
        return plays;
    }

    std::vector<Burst> HeardAfterUnload()
    {
        Sleep(500);
        host.Kill();
        host.Unload();
        CapturedSound r = ReadCapture(capture_);
        EXPECT_TRUE(r.Problem.empty()) << r.Problem;
        return FindBursts(r, Threshold);
    }

    GaugeHost host;
    std::string capture_;
};

TEST_F(GaugeSound, ATakeOffSoundsSingleSingleDouble)
{
    LoadAndInstall("Lumivane.gau");
    Fly(70, 115, 12);
    std::vector<const SoundEvent*> plays = Plays();
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_EQ(plays[0]->Beeps, 1);
    EXPECT_EQ(plays[1]->Beeps, 1);
    EXPECT_EQ(plays[2]->Beeps, 2);
    EXPECT_EQ(plays[0]->Buffer, plays[1]->Buffer) << "the first two call-outs are one sound";
    for (const SoundEvent* play : plays) {
        EXPECT_EQ(play->Flags, 0u) << "played once, not looping";
        EXPECT_GE(play->Result, 0) << "Wine's DirectSound started it";
    }
    std::vector<Burst> heard = HeardAfterUnload();
    EXPECT_EQ(heard.size(), 4u) << "a single beep, a single beep and a double beep";
    int released = 0;
    for (const SoundEvent& event : SoundEvents())
        released += event.What == SoundEvent::Released;
    EXPECT_EQ(released, 3) << "kill releases both buffers and the device";
}

TEST_F(GaugeSound, KillAndInstallAgainKeepTheStage)
{
    LoadAndInstall("Lumivane.gau");
    Fly(70, 105, 12);
    ASSERT_EQ(Plays().size(), 3u);
    host.Kill();
    host.Install(0);
    Fly(105, 108, 12);
    EXPECT_EQ(Plays().size(), 3u) << "the sequence is not re-armed by kill and install";
    host.Pass(70);
    Fly(79, 85, 12);
    ASSERT_EQ(Plays().size(), 4u) << "below Speed1 re-arms it";
    EXPECT_EQ(Plays().back()->Beeps, 1);
    // ALSA's file device starts the recording anew with the device that the
    // second install creates: only the call-out after re-arming is in it.
    EXPECT_EQ(HeardAfterUnload().size(), 1u);
}

TEST_F(GaugeSound, UnderAnotherFileNameTheGaugeRunsSilently)
{
    LoadAndInstall("Renamed.gau");
    for (const SoundEvent& event : SoundEvents())
        EXPECT_NE(event.What, SoundEvent::BufferCreated) << "no sound resources under another name";
    PanelView state;
    for (double v : {70.0, 85.0, 95.0, 105.0})
        state = ViewOf(host.Pass(v));
    EXPECT_EQ(state.Lamps[0], 0.0);
    EXPECT_EQ(state.Lamps[2], 0.0);
    EXPECT_EQ(state.Readout, "100");
    EXPECT_TRUE(Plays().empty());
    EXPECT_TRUE(HeardAfterUnload().empty());
}

} // namespace
