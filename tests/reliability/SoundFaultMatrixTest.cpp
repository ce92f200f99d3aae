// Every failure the sound layer can meet, injected through the software
// DirectSound at install, during the take-off passes, or at kill, and met
// through the gauge's own routines as a host calls them. Each cell flies two
// take-offs (the second after the fault is gone) and records which call-outs
// were heard, sample for sample the clip; throughout, every lamp must follow
// its window and an adjust must reach the readout and its file, and after the
// kill no device, buffer or block may be left (AddressSanitizer watches the
// rest). The sound layer's own tests (tests/sound/) cover each failure on a
// device of their own; here they meet the whole gauge.
#include "GaugeRun.h"

#include "callouts/Lamps.h"
#include "platform/CallCounts.h"
#include "platform/SoftDirectSound.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"
#include "sound/WaveResource.h"

#include <sstream>
#include <vector>

namespace {

enum Phase { AtInstall, AtPlay, AtKill, Phases };
const char* const PhaseNames[Phases] = {"install", "play", "kill"};

enum Loss {
    NoLoss,
    LoseWave1, // Wave1's voice
    LoseBoth,  // both voices
};

const SoftDirectSoundFault NoSwitch = SoftFaultCount;

struct FaultRow {
    const char* name;
    SoftDirectSoundFault fault; // the switch, or NoSwitch
    int passes, failures;       // the switch's settings
    DWORD split;                // Lock's first region at most this many bytes (0: whole)
    Loss loss;                  // voices lost when the phase begins
    // The call-outs heard over the two take-offs when the fault comes at
    // install, at play and at kill: 1 the clip sample for sample, 0 silence,
    // x anything else.
    const char* heard[Phases];
    // Whether the switch was met in that phase: R met, - not, . no switch.
    const char* met;
};

const FaultRow Rows[] = {
    {"device refused", SoftFaultCreateDevice, 0, SOFT_FAULT_ALWAYS, 0, NoLoss,
     {"000|000", "111|111", "111|111"}, "R--"},
    {"cooperative level refused", SoftFaultCooperativeLevel, 0, SOFT_FAULT_ALWAYS, 0, NoLoss,
     {"000|000", "111|111", "111|111"}, "R--"},
    {"every buffer refused", SoftFaultCreateBuffer, 0, SOFT_FAULT_ALWAYS, 0, NoLoss,
     {"000|000", "111|111", "111|111"}, "R--"},
    {"Wave1's buffer refused", SoftFaultCreateBuffer, 0, 1, 0, NoLoss, {"001|001", "111|111", "111|111"}, "R--"},
    {"Wave2's buffer refused", SoftFaultCreateBuffer, 1, 1, 0, NoLoss, {"110|110", "111|111", "111|111"}, "R--"},
    {"duplication refused", SoftFaultDuplicate, 0, SOFT_FAULT_ALWAYS, 0, NoLoss,
     {"111|111", "111|111", "111|111"}, "---"},
    {"Lock refused", SoftFaultLock, 0, SOFT_FAULT_ALWAYS, 0, NoLoss, {"000|000", "111|111", "111|111"}, "R--"},
    {"Lock in two regions", NoSwitch, 0, 0, 1000, NoLoss, {"111|111", "111|111", "111|111"}, "..."},
    {"Wave1 lost", NoSwitch, 0, 0, 0, LoseWave1, {"111|111", "111|111", "111|111"}, "..."},
    {"both lost, refilled in two regions", NoSwitch, 0, 0, 1000, LoseBoth, {"111|111", "111|111", "111|111"},
     "..."},
    // A voice is restored first and refilled after; when the refill's Lock
    // fails the play is dropped, and the refill is tried again before every
    // later play, so nothing the loss left in its memory is ever heard.
    {"both lost, Lock refused", SoftFaultLock, 0, SOFT_FAULT_ALWAYS, 0, LoseBoth,
     {"000|000", "000|111", "111|111"}, "RR-"},
    {"Wave1 lost, Restore refused once", SoftFaultRestore, 0, 1, 0, LoseWave1, {"111|111", "011|111", "111|111"},
     "-R-"},
    {"Wave1 lost, Restore refused 3 times", SoftFaultRestore, 0, 3, 0, LoseWave1,
     {"111|111", "001|111", "111|111"}, "-R-"},
    {"Play refused", SoftFaultPlay, 0, SOFT_FAULT_ALWAYS, 0, NoLoss, {"111|111", "000|111", "111|111"}, "-R-"},
    {"Play refused once", SoftFaultPlay, 0, 1, 0, NoLoss, {"111|111", "011|111", "111|111"}, "-R-"},
    {"status unreadable", SoftFaultGetStatus, 0, SOFT_FAULT_ALWAYS, 0, NoLoss, {"111|111", "111|111", "111|111"},
     "-R-"},
    // Unread, a lost voice looks idle: it is not restored, and its Play fails.
    {"status unreadable, Wave1 lost", SoftFaultGetStatus, 0, SOFT_FAULT_ALWAYS, 0, LoseWave1,
     {"111|111", "001|111", "111|111"}, "-R-"},
};

std::vector<int16_t> ClipAsHeard(const char* name)
{
    WAVEFORMATEX* format = nullptr;
    BYTE* data = nullptr;
    DWORD bytes = 0;
    EXPECT_EQ(ReadWaveResource(nullptr, name, &format, &data, &bytes), 1) << name;
    std::vector<int16_t> heard;
    for (DWORD i = 0; i < bytes; ++i)
        heard.push_back(int16_t((data[i] - 128) * 256));
    return heard;
}

class SoundFaultMatrix : public WholeGaugeTest {
protected:
    void SetUp() override
    {
        WholeGaugeTest::SetUp();
        wave1_ = ClipAsHeard("Wave1");
        wave2_ = ClipAsHeard("Wave2");
    }

    void Arm(const FaultRow& row, Phase phase, Phase now)
    {
        if (phase != now)
            return;
        if (row.fault != NoSwitch)
            SoftDirectSoundInjectFault(row.fault, row.passes, row.failures);
        if (row.split)
            SoftDirectSoundSplitLocks(now == AtInstall ? nullptr : SoundDevice, row.split);
    }

    // Ends the phase's fault, noting whether its switch was met.
    void Disarm(const FaultRow& row, Phase phase, Phase now, std::string* met)
    {
        if (phase != now)
            return;
        *met += row.fault == NoSwitch ? '.' : SoftDirectSoundFaultsHit(row.fault) > 0 ? 'R' : '-';
        SoftDirectSoundClearFaults();
        if (row.split && SoundDevice)
            SoftDirectSoundSplitLocks(SoundDevice, 0);
    }

    void Lose(const FaultRow& row, Phase phase, Phase now)
    {
        if (phase != now || row.loss == NoLoss)
            return;
        for (SoundDescriptor* sound : {&Wave1Sound, &Wave2Sound}) {
            if (sound == &Wave2Sound && row.loss != LoseBoth)
                continue;
            if (sound->Object && sound->Object->Voices[0])
                EXPECT_EQ(SoftDirectSoundLoseBuffer(sound->Object->Voices[0]), 1);
        }
    }

    // A take-off from 60 to 120 and back to a stop, the lamps checked at
    // every pass. Returns the call-outs heard, in the order asked for; a
    // voice lost on the way (row.loss in the play phase) goes between the
    // passes at 70 and 71.
    std::string TakeOff(GaugeRun& run, const FaultRow& row, Phase phase, bool first)
    {
        run.ClearTrack();
        const uint64_t start = SoundDevice ? SoftDirectSoundClock(SoundDevice) : 0;
        struct Asked {
            uint64_t at;
            int lamp;
        };
        std::vector<Asked> asked;
        std::vector<double> flight = Ramp(60, 120, 10);
        for (double v : Ramp(120, 0, 60))
            flight.push_back(v);
        bool lost = false;
        for (double v : flight) {
            if (first && !lost && v > 70) {
                Lose(row, phase, AtPlay);
                lost = true;
            }
            const uint64_t at = SoundDevice ? SoftDirectSoundClock(SoundDevice) : 0;
            PassView view = run.Pass(v);
            const int32_t thresholds[3] = {Speed1, Speed2, Speed3};
            for (int k = 0; k < 3; ++k) {
                bool lit = thresholds[k] <= v && v <= Speed3 + 10;
                EXPECT_EQ(view.Lamps[k], lit ? 0.0 : -1.0) << "lamp " << k + 1 << " at " << v;
                if (view.Asked(k + 1))
                    asked.push_back({at, k + 1});
            }
        }
        EXPECT_EQ(asked.size(), 3u) << "three call-outs asked for whatever the sound does";
        DWORD count = 0;
        const int16_t* track = SoundDevice ? SoftDirectSoundTrack(SoundDevice, &count) : nullptr;
        std::string heard;
        for (const Asked& a : asked) {
            const std::vector<int16_t>& clip = a.lamp == 3 ? wave2_ : wave1_;
            const uint64_t from = a.at - start;
            bool silent = true;
            bool clipExactly = from + clip.size() <= count;
            for (size_t i = 0; i < clip.size() && from + i < count; ++i) {
                silent = silent && track[from + i] == 0;
                clipExactly = clipExactly && track[from + i] == clip[i];
            }
            heard += clipExactly ? '1' : silent ? '0' : 'x';
        }
        return heard;
    }

    // An adjust through the increase and decrease areas: the readout and the
    // file follow, with or without sound.
    void Adjust(GaugeRun& run)
    {
        ASSERT_TRUE(run.Press(10, 15)) << "the top selector button";
        int32_t before = Speed3;
        ASSERT_TRUE(run.Press(70, 40)) << "the increase area";
        EXPECT_EQ(Speed3, before + 1);
        EXPECT_EQ(ReadFile(Speed3File), std::to_string(before + 1));
        EXPECT_EQ(run.Pass(0).Readout, std::to_string(before + 1));
        ASSERT_TRUE(run.Press(40, 40)) << "the decrease area";
        EXPECT_EQ(ReadFile(Speed3File), std::to_string(before));
        EXPECT_EQ(run.Pass(0).Readout, std::to_string(before));
    }

    std::vector<int16_t> wave1_;
    std::vector<int16_t> wave2_;
};

TEST_F(SoundFaultMatrix, EveryFaultAtInstallPlayAndKill)
{
    for (const FaultRow& row : Rows) {
        for (int p = 0; p < Phases; ++p) {
            const Phase phase = Phase(p);
            SCOPED_TRACE(std::string(row.name) + " at " + PhaseNames[phase]);
            StartFresh();
            GaugeRun run;
            std::string met;

            Arm(row, phase, AtInstall);
            run.Install();
            Lose(row, phase, AtInstall);
            Disarm(row, phase, AtInstall, &met);

            Arm(row, phase, AtPlay);
            std::string heard = TakeOff(run, row, phase, true);
            Disarm(row, phase, AtPlay, &met);
            Adjust(run);
            heard += "|" + TakeOff(run, row, phase, false);

            // The layer holds one reference to the device and to each voice.
            if (SoundDevice) {
                EXPECT_EQ(SoftDirectSoundReferences(SoundDevice), 1u);
                for (SoundDescriptor* sound : {&Wave1Sound, &Wave2Sound})
                    if (sound->Object && sound->Object->Voices[0])
                        EXPECT_EQ(SoftDirectSoundReferences(sound->Object->Voices[0]), 1u) << sound->Name;
            }
            Arm(row, phase, AtKill);
            Lose(row, phase, AtKill);
            run.Kill();
            Disarm(row, phase, AtKill, &met);

            EXPECT_EQ(heard, row.heard[phase]);
            EXPECT_EQ(met, std::string(1, row.met[phase])) << "whether the fault was met";
            EXPECT_EQ(SoundDevice, nullptr);
            EXPECT_EQ(Wave1Sound.Object, nullptr);
            EXPECT_EQ(Wave2Sound.Object, nullptr);
            EXPECT_EQ(SoftDirectSoundLiveDevices(), 0) << "the device after kill";
            EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a voice after kill";
            EXPECT_EQ(GaugeLiveBlocks(), 0) << "a sound object's block after kill";
            Figure("fault-matrix", "fault=\"" + std::string(row.name) + "\" phase=" + PhaseNames[phase] +
                                       " heard=" + heard + " met=" + met);
        }
    }
}

} // namespace
