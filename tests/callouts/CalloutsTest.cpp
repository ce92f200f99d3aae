// The lamps and the call-out sequencer, driven the way the host drives them:
// lamp 1, 2, 3 at each pass, 18 passes a second, the airspeed delivered by a
// fake variable lookup through the service table. The sounds play on the
// software DirectSound on its own clock, one pass of time per pass, so what a
// pilot would hear is read back from its mix and not only what was asked for.
#include "callouts/Lamps.h"
#include "module/GaugeModule.h"
#include "platform/SoftDirectSound.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr int PassesPerSecond = 18;
constexpr uint64_t BeepSamples = 694;
constexpr uint64_t SecondBeepOffset = 1620; // from the first beep of the double beep

double CurrentAirspeed = 0.0;

void GAUGE_STDCALL FakeLookup(VariableRecord* record)
{
    EXPECT_EQ(record->Id, 61) << "the lamps ask for host variable 61";
    record->Value = CurrentAirspeed;
}

// A call-out the sequencer asked for: which lamp, at which pass.
struct Request {
    int Lamp;
    int Pass;
};

struct Burst {
    uint64_t Start;
    uint64_t Length;
};

class Callouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        Speed1 = 80;
        Speed2 = 90;
        Speed3 = 100;
        CalloutStage = 0;
        Airspeed.Value = 0.0;
        for (HostServiceAddress& entry : services_)
            entry = nullptr;
        services_[40] = reinterpret_cast<HostServiceAddress>(&FakeLookup);
        ImportTable.Services = services_;
        LoadSounds(SoundList);
        ASSERT_NE(SoundDevice, nullptr);
        device_ = SoundDevice;
        device_->AddRef(); // the track stays readable after ReleaseSounds
    }

    void TearDown() override
    {
        ReleaseSounds(SoundList);
        ImportTable.Services = nullptr;
        SoftDirectSoundClearFaults();
        if (device_)
            EXPECT_EQ(device_->Release(), 0u) << "the sound layer kept a reference to the device";
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
    }

    // One pass at airspeed v: the three lamps in order, then a pass of time.
    // Returns the lamps' results.
    std::vector<double> Pass(double v)
    {
        CurrentAirspeed = v;
        std::vector<double> lamps;
        IconCallback callbacks[3] = {Lamp1Callback, Lamp2Callback, Lamp3Callback};
        for (int k = 1; k <= 3; ++k) {
            int32_t before = CalloutStage;
            lamps.push_back(callbacks[k - 1](nullptr));
            // The stage moves from k-1 to k exactly when lamp k asks for its
            // sound; the mix tells whether it was heard. Otherwise only lamp 1
            // changes it, back to 0.
            if (CalloutStage == k && before == k - 1) {
                requests_.push_back({k, pass_});
                requestAirspeeds_.push_back(v);
            } else if (CalloutStage != before) {
                EXPECT_EQ(k, 1) << "only lamp 1 re-arms";
                EXPECT_EQ(CalloutStage, 0);
            }
        }
        SoftDirectSoundAdvance(device_, DWORD(PassSample(pass_ + 1) - PassSample(pass_)));
        ++pass_;
        return lamps;
    }

    void Fly(const std::vector<double>& airspeeds)
    {
        for (double v : airspeeds)
            Pass(v);
    }

    // Let the last sounds play out. Pass times are counted from the first
    // pass, so settle only at the end of a flight.
    void Settle() { SoftDirectSoundAdvanceMilliseconds(device_, 1000); }

    // The runs of sound in the mix, with gaps shorter than 20 ms bridged.
    std::vector<Burst> Heard() const
    {
        DWORD count = 0;
        const int16_t* track = SoftDirectSoundTrack(device_, &count);
        std::vector<Burst> bursts;
        const uint64_t gap = SOFT_DIRECTSOUND_RATE / 50;
        uint64_t last = 0;
        for (uint64_t i = 0; i < count; ++i) {
            if (track[i] == 0)
                continue;
            if (bursts.empty() || i - last > gap)
                bursts.push_back({i, 1});
            else
                bursts.back().Length = i - bursts.back().Start + 1;
            last = i;
        }
        return bursts;
    }

    static uint64_t PassSample(int pass) { return uint64_t(pass) * SOFT_DIRECTSOUND_RATE / PassesPerSecond; }

    // A beep that starts with the play of a pass (the clips begin after 3
    // silent samples).
    static void ExpectBeepAt(const Burst& burst, uint64_t start, const char* what)
    {
        EXPECT_NEAR(double(burst.Start), double(start + 3), 2.0) << what;
        EXPECT_NEAR(double(burst.Length), double(BeepSamples), 4.0) << what;
    }

    std::vector<Request> requests_;
    std::vector<double> requestAirspeeds_;
    int pass_ = 0;
    LPDIRECTSOUND device_ = nullptr;
    HostServiceAddress services_[64];
};

// From one airspeed to another at a steady rate, one value per pass, both
// ends included exactly.
std::vector<double> Ramp(double from, double to, double perSecond)
{
    int steps = int(std::lround(std::fabs(to - from) / perSecond * PassesPerSecond));
    std::vector<double> airspeeds;
    for (int i = 0; i <= steps; ++i)
        airspeeds.push_back(from + (to - from) * i / steps);
    return airspeeds;
}

TEST_F(Callouts, LampWindowsAtTheirEdges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double v;
        double lamps[3];
    } edges[] = {
        {79.9, {-1, -1, -1}}, {80, {0, -1, -1}},   {89.999, {0, -1, -1}}, {90, {0, 0, -1}},
        {99.999, {0, 0, -1}}, {100, {0, 0, 0}},    {110, {0, 0, 0}},      {110.001, {-1, -1, -1}},
        {nan, {-1, -1, -1}},  {-1e300, {-1, -1, -1}}, {1e300, {-1, -1, -1}},
    };
    for (const auto& edge : edges) {
        std::vector<double> lamps = Pass(edge.v);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(lamps[i], edge.lamps[i]) << "lamp " << i + 1 << " at " << edge.v;
    }
}

TEST_F(Callouts, EachCalloutOnceInOrderOnASteadyTakeOff)
{
    // 0 to 120 at 4 units a second: the call-outs come 2.5 s apart.
    Fly(Ramp(0, 120, 4));
    Settle();
    ASSERT_EQ(requests_.size(), 3u);
    EXPECT_EQ(requests_[0].Lamp, 1);
    EXPECT_EQ(requests_[1].Lamp, 2);
    EXPECT_EQ(requests_[2].Lamp, 3);
    const double step = 4.0 / PassesPerSecond;
    const double speeds[3] = {80, 90, 100};
    for (int k = 0; k < 3; ++k) {
        EXPECT_GE(requestAirspeeds_[k], speeds[k]) << "call-out " << k + 1 << " before its speed";
        EXPECT_LT(requestAirspeeds_[k], speeds[k] + step) << "call-out " << k + 1 << " not on the first pass";
    }
    EXPECT_EQ(CalloutStage, 3);

    // Heard: a single beep, a single beep, a double beep.
    std::vector<Burst> heard = Heard();
    ASSERT_EQ(heard.size(), 4u);
    ExpectBeepAt(heard[0], PassSample(requests_[0].Pass), "Wave1 at Speed1");
    ExpectBeepAt(heard[1], PassSample(requests_[1].Pass), "Wave1 at Speed2");
    ExpectBeepAt(heard[2], PassSample(requests_[2].Pass), "Wave2 at Speed3");
    ExpectBeepAt(heard[3], PassSample(requests_[2].Pass) + SecondBeepOffset, "Wave2's second beep");
}

TEST_F(Callouts, ASecondWave1WithinTheFirstClipIsNotHeard)
{
    // 0 to 120 at 60 units a second: Speed2 comes three passes (0.17 s)
    // after Speed1, while the first clip, silent tail included, still plays.
    Fly(Ramp(0, 120, 60));
    Settle();
    ASSERT_EQ(requests_.size(), 3u);
    EXPECT_LT(PassSample(requests_[1].Pass) - PassSample(requests_[0].Pass), 2924u);
    std::vector<Burst> heard = Heard();
    ASSERT_EQ(heard.size(), 3u) << "one single beep, then the double beep";
    ExpectBeepAt(heard[0], PassSample(requests_[0].Pass), "Wave1 at Speed1");
    ExpectBeepAt(heard[1], PassSample(requests_[2].Pass), "Wave2 at Speed3");
    ExpectBeepAt(heard[2], PassSample(requests_[2].Pass) + SecondBeepOffset, "Wave2's second beep");
    EXPECT_EQ(CalloutStage, 3) << "the stage advances whether or not the sound started";
}

TEST_F(Callouts, AJumpIntoTheLastWindowRunsTheWholeSequenceInOnePass)
{
    Pass(50);
    Pass(105);
    Settle();
    ASSERT_EQ(requests_.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(requests_[k].Lamp, k + 1);
        EXPECT_EQ(requests_[k].Pass, 1);
    }
    // Wave1 and Wave2 start together; the second Wave1 is dropped. Heard: the
    // two first beeps at once, then Wave2's second beep.
    std::vector<Burst> heard = Heard();
    ASSERT_EQ(heard.size(), 2u);
    ExpectBeepAt(heard[0], PassSample(1), "Wave1 with Wave2's first beep");
    ExpectBeepAt(heard[1], PassSample(1) + SecondBeepOffset, "Wave2's second beep");
}

TEST_F(Callouts, ARejectedTakeOffArmsTheSequenceAgain)
{
    Fly(Ramp(60, 95, 5)); // Speed1 and Speed2 sound
    Fly(Ramp(95, 60, 5)); // abandoned: below Speed1 re-arms
    EXPECT_EQ(CalloutStage, 0);
    Fly(Ramp(60, 120, 5));
    Settle();
    ASSERT_EQ(requests_.size(), 5u);
    const int lamps[5] = {1, 2, 1, 2, 3};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(requests_[i].Lamp, lamps[i]) << "request " << i;
    EXPECT_EQ(Heard().size(), 6u) << "four single beeps and a double beep";
}

TEST_F(Callouts, HoveringAtSpeed1HasNoHysteresis)
{
    for (int i = 0; i < 20; ++i)
        Pass(i % 2 ? 80.0 : 79.9);
    EXPECT_EQ(requests_.size(), 10u) << "every pass at 80 asks for Wave1 again";
    for (const Request& request : requests_)
        EXPECT_EQ(request.Lamp, 1);
    Settle();
    // The clip is busy for 265 ms, almost five passes: of the requests at
    // passes 1, 3, 5 ... 19 only those at 1, 7, 13 and 19 find it finished.
    std::vector<Burst> heard = Heard();
    ASSERT_EQ(heard.size(), 4u);
    ExpectBeepAt(heard[3], PassSample(19), "the request at pass 19");
    for (size_t i = 1; i < heard.size(); ++i)
        EXPECT_GE(heard[i].Start - heard[i - 1].Start, 2924u);
}

TEST_F(Callouts, SlowingIntoTheWindowFromAbove)
{
    Pass(150);
    Pass(150);
    EXPECT_TRUE(requests_.empty()) << "above Speed3 + 10 nothing lights or sounds";
    Pass(105);
    ASSERT_EQ(requests_.size(), 3u) << "the first pass in the window runs all three";
    Fly(Ramp(105, 80, 10));
    EXPECT_EQ(requests_.size(), 3u) << "after the third call-out nothing sounds until below Speed1";
    std::vector<double> lamps = Pass(85);
    EXPECT_EQ(lamps, (std::vector<double>{0, -1, -1}));
    Pass(79);
    Pass(85);
    EXPECT_EQ(requests_.size(), 4u);
    EXPECT_EQ(requests_.back().Lamp, 1);
}

TEST_F(Callouts, SpeedsOutOfOrderFromTheFiles)
{
    Speed2 = 120;
    Speed3 = 100;
    Fly(Ramp(0, 130, 10));
    Fly(Ramp(130, 95, 10));
    Settle();
    for (const Request& request : requests_)
        EXPECT_EQ(request.Lamp, 1) << "lamp 2's window [120, 110] is empty, so the sequence stops at stage 1";
    EXPECT_EQ(CalloutStage, 1);
    std::vector<double> lamps = Pass(105);
    EXPECT_EQ(lamps, (std::vector<double>{0, -1, 0})) << "lamp 3 still lights between 100 and 110";
    for (const Burst& burst : Heard())
        EXPECT_LT(burst.Length, BeepSamples + 5) << "no double beep";
}

TEST_F(Callouts, Speed3NearTheLimitGivesTheTrueWindow)
{
    Speed3 = INT32_MAX - 5;
    std::vector<double> lamps = Pass(double(INT32_MAX) + 4.0);
    EXPECT_EQ(lamps, (std::vector<double>{0, 0, 0})) << "Speed3 + 10 lies beyond the 32-bit range";
    lamps = Pass(double(INT32_MAX) + 6.0);
    EXPECT_EQ(lamps, (std::vector<double>{-1, -1, -1}));
}

TEST_F(Callouts, WithoutSoundsTheLampsAndStagesStillWork)
{
    // No device: no sound objects at all. Then a device whose buffers cannot
    // be made: objects without a voice.
    const SoftDirectSoundFault faults[] = {SoftFaultCreateDevice, SoftFaultCreateBuffer};
    for (SoftDirectSoundFault fault : faults) {
        ReleaseSounds(SoundList);
        SoftDirectSoundInjectFault(fault, 0, SOFT_FAULT_ALWAYS);
        LoadSounds(SoundList);
        SoftDirectSoundClearFaults();
        if (fault == SoftFaultCreateDevice) {
            ASSERT_EQ(Wave1Sound.Object, nullptr);
            ASSERT_EQ(Wave2Sound.Object, nullptr);
        } else {
            ASSERT_NE(Wave1Sound.Object, nullptr);
            ASSERT_EQ(Wave1Sound.Object->Voices[0], nullptr);
        }
        requests_.clear();
        std::vector<double> lamps;
        for (double v : Ramp(0, 105, 10))
            lamps = Pass(v);
        EXPECT_EQ(lamps, (std::vector<double>{0, 0, 0}));
        EXPECT_EQ(requests_.size(), 3u);
        EXPECT_EQ(CalloutStage, 3);
        Pass(0);
    }
    Settle();
    EXPECT_TRUE(Heard().empty()) << "nothing may play";
}

// Random take-offs: noisy, dipping, holding, rejected. Whatever the profile,
// a lamp is lit exactly inside its window, each arming asks for Wave2 at most
// once, and nothing is asked for above Speed3 + 10.
TEST_F(Callouts, RandomTakeOffsKeepTheRules)
{
    std::mt19937 random(1998);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int passes = 0;
    for (int flight = 0; flight < 40; ++flight) {
        double v = 40 + 40 * unit(random);
        int wave2SinceArming = 0;
        for (int i = 0; i < 150; ++i, ++passes) {
            double r = unit(random);
            if (r < 0.7)
                v += 0.9 + 0.4 * unit(random); // accelerating
            else if (r < 0.85)
                v += 0.0; // holding
            else if (r < 0.97)
                v -= 3.0 * unit(random); // a dip
            else
                v -= 30.0 * unit(random); // rejected
            double noisy = v + (unit(random) - 0.5) * 2.0;
            size_t before = requests_.size();
            std::vector<double> lamps = Pass(noisy);
            const int32_t thresholds[3] = {Speed1, Speed2, Speed3};
            for (int k = 0; k < 3; ++k) {
                bool inside = thresholds[k] <= noisy && noisy <= Speed3 + 10;
                EXPECT_EQ(lamps[k], inside ? 0.0 : -1.0) << "lamp " << k + 1 << " at " << noisy;
            }
            if (noisy < Speed1)
                wave2SinceArming = 0;
            for (size_t q = before; q < requests_.size(); ++q) {
                EXPECT_LE(noisy, Speed3 + 10) << "a call-out asked for above the window";
                if (requests_[q].Lamp == 3)
                    ++wave2SinceArming;
            }
            EXPECT_LE(wave2SinceArming, 1) << "Wave2 twice in one arming";
        }
        Pass(0); // parked between flights
    }
    EXPECT_GE(passes, 6000);
}

} // namespace
