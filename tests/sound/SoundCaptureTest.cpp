// The sound layer on Wine's real DirectSound (windows build only): LoadSounds,
// one play of "Wave1", and what reached the sound card, recorded by ALSA's
// file device that the test's HOME/.asoundrc names as the default output. The
// recording must hold exactly one beep of about 63 ms (694 samples at
// 11025 Hz); the clip's silent tail is silence and must not count.
#include "bench/sound/AlsaCapture.h"
#include "bench/sound/Bursts.h"
#include "ProgramFolder.h"
#include "sound/SoundObjects.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

TEST(SoundCapture, OnePlayOfWave1IsOneBeepOf63Ms)
{
    const std::string capture = CaptureBesideProgram("capture-home");
    DeleteFileA(capture.c_str());

    LoadSounds(SoundList);
    if (!SoundDevice)
        GTEST_SKIP() << "No DirectSound device: Wine found no ALSA output. HOME must name the folder "
                        "with the .asoundrc that tests/sound/CMakeLists.txt writes.";
    ASSERT_NE(Wave1Sound.Object, nullptr) << "\"Wave1\" on Wine's DirectSound";
    ASSERT_NE(Wave2Sound.Object, nullptr) << "\"Wave2\" on Wine's DirectSound";
    ASSERT_EQ(PlaySoundObject(Wave1Sound.Object, 0), 1);
    EXPECT_EQ(PlaySoundObject(Wave1Sound.Object, 0), 0) << "a second request while the first sounds";

    // The file device is not paced in real time, so a second is more than
    // enough for the 265 ms clip to pass through the mixer.
    Sleep(1000);
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoundDevice, nullptr);

    CapturedSound r = ReadCapture(capture);
    ASSERT_TRUE(r.Problem.empty()) << r.Problem;
    ASSERT_GT(r.Rate, 0u);
    // The beep peaks near -18 dB; -40 dB leaves the resampler's ringing out.
    std::vector<Burst> bursts = FindBursts(r, 0.01f);
    ASSERT_EQ(bursts.size(), 1u) << "beeps in " << r.Samples.size() << " recorded samples at " << r.Rate << " Hz";
    double ms = (bursts[0].Last - bursts[0].First + 1) * 1000.0 / r.Rate;
    printf("Recorded one beep of %.1f ms (%zu samples at %u Hz), %zu samples in all\n", ms,
        bursts[0].Last - bursts[0].First + 1, static_cast<unsigned>(r.Rate), r.Samples.size());
    RecordProperty("BeepMilliseconds", std::to_string(ms));
    // 694 samples at 11025 Hz are 62.9 ms. Wine 8's DirectSound leaves the
    // first 29 or so source samples of a started buffer out of its output
    // (the recording lines up with the clip from sample 32 on), so Wine
    // records about 60.3 ms: the beep's full length less 2.6 ms at its start.
    EXPECT_NEAR(ms, 62.9, 4.0);
}
