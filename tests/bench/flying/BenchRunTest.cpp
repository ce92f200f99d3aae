// The bench as a host of the real module: each click point runs exactly its
// area's handler, a held press repeats only where the area asks for it, the
// take-off scenario is heard as single, single and double beep and nothing
// after, a flickering run of minutes ends cleanly within its caps, and a
// module that cannot be loaded is named with the reason. Runs
// the native Lumivane.gau natively and the DLL under Wine.
#include "bench/files/Files.h"
#include "bench/flying/ScenarioActions.h"
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/recording/RecordedRun.h"

#include "bench/sound/AlsaCapture.h"
#include "bench/sound/Bursts.h"
#include "bench/hosting/SettingsSandbox.h"
#include "bench/pictures/FrameRecorder.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "BenchPaths.h"
#include "QuietRun.h"

namespace {

// Call-outs in what was heard: bursts whose starts lie within 300 ms of the
// first of them are one call-out (a double beep's second beep starts 147 ms
// after its first).
std::vector<int> CalloutsHeard(const std::vector<Burst>& bursts, uint32_t rate)
{
    std::vector<int> callouts;
    size_t first = 0;
    for (size_t i = 0; i < bursts.size(); ++i) {
        if (i == 0 || bursts[i].First - bursts[first].First > rate * 3 / 10) {
            callouts.push_back(0);
            first = i;
        }
        ++callouts.back();
    }
    return callouts;
}

struct Flown {
    RunSummary Summary;
    std::vector<std::vector<int>> Handlers; // per pass
};

Flown Fly(const std::string& text, const char* out, bool softSound = true)
{
    Flown flown;
    Scenario scenario;
    std::string error;
    EXPECT_TRUE(ParseScenario(text, "test.txt", &scenario, &error, &LumivaneDescription())) << error;
    RunOptions options = QuietRun(out);
    options.SoftSound = softSound;
    options.ShowPass = [&](const PassRecord& pass) {
        flown.Handlers.emplace_back(pass.Handlers, pass.Handlers + pass.HandlerCount);
    };
    EXPECT_TRUE(RunScenario(options, scenario, &flown.Summary, &error)) << error;
    EXPECT_TRUE(flown.Summary.Faults.empty()) << flown.Summary.Faults.front();
    return flown;
}

TEST(BenchHost, ClickPointsRunExactlyTheirHandlersAndOnlyAdjustAreasRepeat)
{
    // Each press is held for one second: a handler with the repeat bit runs
    // at the press, then at 0.4 s and every 0.1 s up to 0.9 s: 7 times.
    const struct {
        int x, y;
        const char* button;
        int area; // the area number that runs, -1 for none
        int runs;
    } cases[] = {
        {25, 35, "left", 1, 7},   {54, 69, "left", 1, 7},  {57, 25, "left", 2, 7},   {86, 62, "left", 2, 7},
        {3, 12, "left", 3, 1},    {16, 25, "left", 3, 1},  {3, 31, "left", 4, 1},    {16, 63, "left", 5, 1},
        {55, 40, "left", -1, 0},  {56, 40, "left", -1, 0}, {87, 40, "left", -1, 0},  {57, 24, "left", -1, 0},
        {3, 26, "left", -1, 0},   {17, 20, "left", -1, 0}, {40, 45, "right", -1, 0}, {10, 19, "middle", -1, 0},
    };
    for (const auto& c : cases) {
        std::string text = "settings speed1 80\nsettings speed2 90\nsettings speed3 100\n0 hold " +
                           std::to_string(c.x) + " " + std::to_string(c.y) + " 1 " + c.button + "\n1.5 end\n";
        Flown flown = Fly(text, "clicks");
        std::vector<int> ran;
        for (const std::vector<int>& pass : flown.Handlers)
            ran.insert(ran.end(), pass.begin(), pass.end());
        std::vector<int> expected(size_t(c.runs), c.area);
        EXPECT_EQ(ran, expected) << c.button << " press held at " << c.x << "," << c.y;
    }
}

// A module loaded while the aircraft is already rolling starts armed: the
// first pass calls out every speed it is past, in order, up to Speed3 + 10.
// Speed1 and Speed2 share a clip, and a clip started twice in one pass is
// heard once, as DirectSound plays a playing buffer on. A run finished has
// let its module go even while its driver still holds it: the next load is
// fresh, not the module of the run before with its call-outs made.
TEST(BenchHost, AFreshLoadAlreadyRollingCallsOutTheSpeedsItIsPast)
{
    const struct {
        int airspeed;
        std::vector<std::string> clips;
        bool afterHeldRun = false; // the same flown first, finished and held meanwhile
    } cases[] = {
        {79, {}},
        {85, {"Wave1"}},
        {95, {"Wave1"}},
        {105, {"Wave1", "Wave2"}},
        {111, {}},
        {105, {"Wave1", "Wave2"}, true},
    };
    for (const auto& c : cases) {
        const std::string text = "settings speed1 80\nsettings speed2 90\nsettings speed3 100\n0 airspeed " +
                                 std::to_string(c.airspeed) + "\n1 end\n";
        std::unique_ptr<GaugeReader> heldReader;
        RunSummary heldSummary;
        std::unique_ptr<ScenarioRun> held;
        if (c.afterHeldRun) {
            Scenario scenario;
            std::string error;
            ASSERT_TRUE(ParseScenario(text, "held.txt", &scenario, &error, &LumivaneDescription())) << error;
            heldReader = BenchGaugeReader();
            RunOptions options = QuietRun("rolling-held");
            options.Reader = heldReader.get();
            held.reset(new ScenarioRun(options, scenario, &heldSummary));
            ASSERT_TRUE(held->Start(&error)) << error;
            while (held->Step()) {
            }
            held->Finish();
            ASSERT_EQ(heldSummary.Plays.size(), 2u) << "the run held";
        }
        Flown flown = Fly(text, "rolling");
        std::vector<std::string> clips;
        for (const HeardCallout& play : flown.Summary.Plays) {
            clips.push_back(play.Clip);
            EXPECT_LT(play.Time, 0.06) << "at " << c.airspeed << " kn every call-out comes in the first pass";
        }
        EXPECT_EQ(clips, c.clips) << "loaded at " << c.airspeed << " kn";
    }
}

// sound.wav keeps the run's time on either device: it lasts the run to within
// a pass, and its call-outs start where the plays started, within 30 ms, with
// nothing else in it.
void ExpectSoundToScale(const RunSummary& s, double rate)
{
    CapturedSound heard = ReadCapture(s.SoundFile);
    ASSERT_TRUE(heard.Problem.empty()) << heard.Problem;
    EXPECT_NEAR(double(heard.Samples.size()) / heard.Rate, double(s.Passes) / rate, 1 / rate) << s.SoundNote;
    std::vector<Burst> callouts = GroupCallouts(FindBursts(heard, 0.01f), heard.Rate);
    ASSERT_EQ(callouts.size(), s.Plays.size()) << s.SoundNote;
    for (size_t i = 0; i < callouts.size(); ++i)
        EXPECT_NEAR(double(callouts[i].First) / heard.Rate, s.Plays[i].Time, 0.03) << "call-out " << i + 1;
}

void ExpectTakeOff(const Flown& flown)
{
    const RunSummary& s = flown.Summary;
    ASSERT_EQ(s.Plays.size(), 3u);
    const double times[] = {6.0, 7.0, 8.0};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(s.Plays[size_t(i)].Time, times[i], 0.06) << "call-out " << i + 1;
    // Named by the module's own clips, which the gauge wrote into the buffers.
    EXPECT_STREQ(s.Plays[0].Clip, "Wave1");
    EXPECT_STREQ(s.Plays[1].Clip, "Wave1");
    EXPECT_STREQ(s.Plays[2].Clip, "Wave2");
    ASSERT_FALSE(s.SoundFile.empty()) << s.SoundNote;
    CapturedSound heard = ReadCapture(s.SoundFile);
    ASSERT_TRUE(heard.Problem.empty()) << heard.Problem;
    std::vector<Burst> bursts = FindBursts(heard, 0.01f);
    EXPECT_EQ(CalloutsHeard(bursts, heard.Rate), (std::vector<int>{1, 1, 2}))
        << "beeps per call-out heard in " << s.SoundFile;
}

TEST(BenchHost, TheTakeOffIsHeardAsSingleSingleDoubleOnTheSoftwareDevice)
{
    Flown flown;
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(LoadScenario(SourcePath("bench/scenarios/takeoff.txt"), &scenario, &error, &LumivaneDescription()))
        << error;
    RunOptions options = QuietRun("takeoff-soft");
    ASSERT_TRUE(RunScenario(options, scenario, &flown.Summary, &error)) << error;
    EXPECT_TRUE(flown.Summary.Faults.empty());
    ExpectSoundToScale(flown.Summary, options.Rate);
    // The software device keeps the run's time: the track lasts the run, and
    // nothing sounds after the double beep.
    CapturedSound heard = ReadCapture(flown.Summary.SoundFile);
    EXPECT_NEAR(double(heard.Samples.size()) / heard.Rate, 12.06, 0.01);
    std::vector<Burst> bursts = FindBursts(heard, 0.01f);
    ASSERT_FALSE(bursts.empty());
    EXPECT_LT(double(bursts.back().Last) / heard.Rate, 8.3) << "nothing after the double beep";
    ExpectTakeOff(flown);
}

// A device that cannot be opened leaves the gauge silent, as in the
// simulator, and the run says why instead of only that nothing was started.
TEST(BenchHost, ADeviceThatCannotBeOpenedIsNamedInTheSummary)
{
    const struct {
        SoftDirectSoundFault fault;
        const char* why;
    } refusals[] = {
        {SoftFaultCreateDevice, "DirectSoundCreate failed (DSERR_NODRIVER, no sound device)"},
        {SoftFaultCooperativeLevel, "SetCooperativeLevel failed (DSERR_ALLOCATED, the device is taken)"},
    };
    for (const auto& refusal : refusals) {
        SoftDirectSoundInjectFault(refusal.fault, 0, SOFT_FAULT_ALWAYS);
        Flown flown = Fly("0 airspeed 70\n0 ramp 120 over 4\n5 end\n", "refused");
        SoftDirectSoundClearFaults();
        EXPECT_TRUE(flown.Summary.Plays.empty());
        const std::string text = DescribeSummary(flown.Summary);
        EXPECT_NE(text.find(std::string("DirectSound could not be opened: ") + refusal.why +
                            ". The gauge runs silent, as it would in the simulator"),
                  std::string::npos)
            << text;
    }
}

// The summary says each kind of fault once, in the order first met, with how
// many times it came, and the count of them all; past its kinds it counts
// the rest, and past its faults kept word for word it only counts them, so
// that a module that faults at every pass of a day, each time in new words,
// is summed up in a page. A run that calls out thousands of times lists its
// first call-outs and its last.
TEST(BenchHost, TheSummarySaysEachFaultOnceWithItsCountHoweverMany)
{
    const size_t kinds = RunSummary::MostFaultKinds, kept = RunSummary::MostFaultsKept;
    std::vector<std::string> many(kept * 4, "again");
    std::vector<std::string> different;
    for (size_t i = 0; i < kinds + 5; ++i)
        different.push_back("fault " + std::to_string(i));
    std::string allKinds, allKindsOften;
    for (size_t i = 0; i < kinds; ++i) {
        allKinds += "\n  fault " + std::to_string(i);
        allKindsOften += "\n  fault " + std::to_string(i) + " (1000 times)";
    }
    // A run the module's crash ended says the crash last, and never that it
    // had no faults. Where the stack is not measured the summary says so,
    // and where it is, it says the stack was balanced only of a run with
    // neither faults nor a crash.
    const std::string crash = "The module crashed in pass 3 (0.11 s): kill routine faulted: an access violation";
    const std::string unmeasured = "\nStack balance: not applicable (one calling convention on this platform).";
    const std::string none = "\nNo call-out was started.";
    const struct {
        std::vector<std::string> faults;
        size_t repeat;
        std::string said;
        std::string crash = "";
        bool stackMeasured = false;
    } rows[] = {
        {{}, 1, none + unmeasured + "\nNo faults."},
        {{}, 1, "\n" + crash, crash},
        {{"a"}, 1, "\n1 fault:\n  a\n" + crash, crash},
        {{"a"}, 1, none + unmeasured + "\n1 fault:\n  a"},
        {{}, 1, none + "\nStack balance: every call left the stack as it found it.\nNo faults.", "", true},
        {{"a"}, 1, none + "\n1 fault:\n  a", "", true},
        {{}, 1, none + "\n" + crash, crash, true},
        {{"a", "b"}, 1, "\n2 faults:\n  a\n  b"},
        {{"b", "a", "b", "b"}, 1, "\n4 faults:\n  b (3 times)\n  a"},
        {{"a", "a"}, 1, "\n2 faults:\n  a (2 times)"},
        {many, 1, "\n" + std::to_string(kept * 4) + " faults:\n  again (" + std::to_string(kept * 4) + " times)"},
        {different, 1, "\n" + std::to_string(kinds + 5) + " faults:" + allKinds + "\n  and 5 faults of other kinds"},
        {different, 1000,
            "\n" + std::to_string((kinds + 5) * 1000) + " faults:" + allKindsOften + "\n  and " + std::to_string(5 * 1000) +
                " faults of other kinds"},
    };
    for (const auto& row : rows) {
        RunSummary summary;
        std::vector<std::string> sent;
        for (size_t r = 0; r < row.repeat; ++r)
            for (const std::string& fault : row.faults) {
                NoteFault(&summary, fault);
                sent.push_back(fault);
            }
        summary.Crash = row.crash;
        summary.StackMeasured = row.stackMeasured;
        const std::string text = DescribeSummary(summary);
        ASSERT_GE(text.size(), row.said.size()) << text;
        const std::string said = row.said;
        EXPECT_EQ(text.substr(text.size() - said.size()), said) << text;
        EXPECT_EQ(text.find("No faults.") != std::string::npos, sent.empty() && row.crash.empty()) << text;
        EXPECT_EQ(summary.FaultCount, sent.size());
        EXPECT_LE(summary.Faults.size(), kept);
        EXPECT_LE(summary.FaultKinds.size(), kinds);
        EXPECT_EQ(summary.Faults, std::vector<std::string>(sent.begin(), sent.begin() + std::min(sent.size(), kept)))
            << "the first faults, word for word";
    }
    // Call-outs: all of them while few, then the first ten, how many more,
    // and the last two.
    const struct {
        size_t plays;
        const char* said;
    } callouts[] = {
        {0, "\nNo call-out was started."},
        {1, "\nCall-outs started: Wave1 at 0.00 s."},
        {12, "\nCall-outs started: Wave1 at 0.00 s; Wave1 at 1.00 s; Wave1 at 2.00 s; Wave1 at 3.00 s; Wave1 at 4.00 s; "
             "Wave1 at 5.00 s; Wave1 at 6.00 s; Wave1 at 7.00 s; Wave1 at 8.00 s; Wave1 at 9.00 s; Wave1 at 10.00 s; "
             "Wave1 at 11.00 s."},
        {13, "\n13 call-outs started: Wave1 at 0.00 s; Wave1 at 1.00 s; Wave1 at 2.00 s; Wave1 at 3.00 s; Wave1 at "
             "4.00 s; Wave1 at 5.00 s; Wave1 at 6.00 s; Wave1 at 7.00 s; Wave1 at 8.00 s; Wave1 at 9.00 s; 1 more; "
             "Wave1 at 11.00 s; Wave1 at 12.00 s."},
        {100000, "\n100000 call-outs started: Wave1 at 0.00 s; Wave1 at 1.00 s; Wave1 at 2.00 s; Wave1 at 3.00 s; "
                 "Wave1 at 4.00 s; Wave1 at 5.00 s; Wave1 at 6.00 s; Wave1 at 7.00 s; Wave1 at 8.00 s; Wave1 at 9.00 s; "
                 "99988 more; Wave1 at 99998.00 s; Wave1 at 99999.00 s."},
    };
    for (const auto& row : callouts) {
        RunSummary summary;
        for (size_t i = 0; i < row.plays; ++i)
            summary.Plays.push_back({double(i), "Wave1"});
        const std::string text = DescribeSummary(summary);
        EXPECT_NE(text.find(std::string(row.said) + "\n"), std::string::npos) << row.plays << " call-outs: " << text;
    }
}

// Runs one after another in one process, each in another state: what each
// records (its call-outs, the handlers run, its faults, the sandbox's
// refusals) is its own, never the run's before. A refused open is noted the
// way the sandbox's way in notes one, from inside the run. A run that nothing
// watches or records still finds its call-outs and faults.
TEST(BenchHost, EachRunRecordsOnlyItsOwnStates)
{
    // A pass lists at most this many faults and counts the rest, as
    // bench/SCENARIOS.md says of the log.
    const size_t passListsAtMost = 32;
    const std::string takeOff = "settings speed1 80\nsettings speed2 90\nsettings speed3 100\n0 airspeed 0\n"
                                "2 ramp 60 over 2\n4 ramp 120 over 6\n";
    const struct {
        const char* what;
        std::string actions;
        double refuseAt; // a refused open at this time, or never (-1)
        std::vector<double> plays;
        std::vector<int> handlers;
        bool watched = true; // a display is shown every pass
        size_t refusals = 1; // opens refused at refuseAt, all in that pass
    } rows[] = {
        {"installed", "", -1, {6, 7, 8}, {}},
        {"killed before the call-outs", "5 kill\n", 0.5, {}, {}},
        {"installed", "", -1, {6, 7, 8}, {}},
        {"killed between call-outs", "6.5 kill\n", -1, {6}, {}},
        // The call-out stage is the module's and outlives a kill: the
        // gauge installed again goes on with the second call-out.
        {"killed and installed again", "6.5 kill\n6.6 install\n", -1, {6, 7, 8}, {}},
        {"killed, pressed, installed again", "6.5 kill\n6.55 press 3 31\n6.6 install\n6.7 press 3 31\n", 1.0,
            {6, 7, 8}, {4}},
        {"installed, pressed twice in one pass", "4.5 press 3 31\n4.5 press 16 63\n", -1, {6, 7, 8}, {4, 5}},
        {"installed", "", -1, {6, 7, 8}, {}},
        {"installed, neither watched nor recorded", "", 0.5, {6, 7, 8}, {}, false},
        {"installed, forty opens refused in one pass", "", 0.5, {6, 7, 8}, {}, true, 40},
    };
    for (const auto& row : rows) {
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(takeOff + row.actions + "9 end\n", "states.txt", &scenario, &error,
                                  &LumivaneDescription()))
            << error;
        RunOptions options = QuietRun("states");
        options.Record = false;
        std::vector<int> handlers;
        size_t faultsListed = 0;
        uint64_t faultsLeftOut = 0;
        bool refused = false;
        options.TakeInput = [&](PassControl& control) {
            if (!refused && row.refuseAt >= 0 && control.Time() >= row.refuseAt) {
                for (size_t i = 0; i < row.refusals; ++i)
                    RefuseSandboxOpen("C:\\elsewhere\\pelmo", "r");
                refused = true;
            }
        };
        if (row.watched)
            options.ShowPass = [&](const PassRecord& pass) {
                handlers.insert(handlers.end(), pass.Handlers, pass.Handlers + pass.HandlerCount);
                faultsListed += pass.FaultCount;
                faultsLeftOut += pass.FaultsLeftOut;
            };
        RunSummary summary;
        ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
        std::vector<double> plays;
        for (const HeardCallout& play : summary.Plays)
            plays.push_back(play.Time);
        ASSERT_EQ(plays.size(), row.plays.size()) << row.what << ": " << ::testing::PrintToString(plays);
        for (size_t i = 0; i < plays.size(); ++i)
            EXPECT_NEAR(plays[i], row.plays[i], 0.06) << row.what << ": call-out " << i + 1;
        EXPECT_EQ(handlers, row.handlers) << row.what;
        const size_t faults = row.refuseAt >= 0 ? row.refusals : 0;
        ASSERT_EQ(summary.Faults.size(), faults) << row.what;
        if (row.refuseAt >= 0)
            EXPECT_NE(summary.Faults[0].find("C:\\elsewhere\\pelmo"), std::string::npos) << summary.Faults[0];
        EXPECT_EQ(SandboxRefusals().size(), faults) << row.what << ": the sandbox's own list";
        if (row.watched) {
            EXPECT_EQ(faultsListed, std::min(faults, passListsAtMost)) << row.what << ": faults the passes listed";
            EXPECT_EQ(faultsLeftOut, faults - std::min(faults, passListsAtMost)) << row.what << ": and counted";
        }
    }
}

// An airspeed that wavers about Speed1 for minutes changes the panel some
// fifteen hundred times, past every thinning of the contact sheet's frames:
// the run ends cleanly, every change is a frame, the sheet holds its most
// and is written, and the summary lists the first call-outs and the last.
TEST(BenchHost, AFlickeringRunOfMinutesEndsCleanlyWithASheetWithinItsLimit)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("settings speed1 80\nsettings speed2 90\nsettings speed3 100\n0 airspeed 80\n"
                              "0 noise 2 seed 7\n180 end\n",
                    "flicker.txt", &scenario, &error, &LumivaneDescription()))
        << error;
    RunOptions options = QuietRun("flicker");
    FrameRecorder recorder(options.Out, FrameChoice::Changes, 1);
    options.ShowPass = [&](const PassRecord& pass) { recorder.Take(pass); };
    RunSummary summary;
    ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
    EXPECT_TRUE(summary.Crash.empty()) << summary.Crash;
    EXPECT_EQ(summary.FaultCount, 0u);
    ASSERT_GT(summary.Plays.size(), 200u) << "a call-out at every return above Speed1";
    EXPECT_NE(DescribeSummary(summary).find(std::to_string(summary.Plays.size()) + " call-outs started: "),
        std::string::npos);
    std::string note;
    EXPECT_TRUE(recorder.Finish(&note)) << note;
    const size_t at = note.find("Contact sheet: ");
    ASSERT_NE(at, std::string::npos) << note;
    unsigned long shown = 0, changes = 0;
    ASSERT_EQ(sscanf(note.c_str() + note.find(", ", at) + 2, "%lu of the %lu", &shown, &changes), 2) << note;
    EXPECT_EQ(shown, 24u) << note;
    EXPECT_GT(changes, 4 * FrameSelector::MostKept) << "past the selector's second thinning: " << note;
    EXPECT_NE(note.find("Frames: " + std::to_string(changes) + " in "), std::string::npos) << note;
    std::vector<uint8_t> sheet;
    ASSERT_TRUE(ReadWholeFile(JoinPath(options.Out, "frames.png"), &sheet, &error)) << error;
    EXPECT_GT(sheet.size(), 1000u);
    // sound.wav, written as the run went, lasts the run, and holds the
    // bursts counted on the way (a call-out started while the one before
    // still sounds plays on, so there are fewer than the plays).
    CapturedSound heard = ReadCapture(summary.SoundFile);
    ASSERT_TRUE(heard.Problem.empty()) << heard.Problem;
    EXPECT_NEAR(double(heard.Samples.size()) / heard.Rate, double(summary.Passes) / options.Rate, 1 / options.Rate);
    EXPECT_EQ(summary.Bursts, int(FindBursts(heard, 0.01f).size()));
    EXPECT_GT(summary.Bursts, 100);
}

#ifdef _WIN32
TEST(BenchHost, TheTakeOffIsHeardAsSingleSingleDoubleOnWinesDirectSound)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(LoadScenario(SourcePath("bench/scenarios/takeoff.txt"), &scenario, &error, &LumivaneDescription()))
        << error;
    RunOptions options;
    options.Module = ModulePath();
    options.Out = OutFolder("takeoff-real");
    options.Capture = CaptureBesideProgram("bench-sound-home");
    options.Progress = false;
    Flown flown;
    ASSERT_TRUE(RunScenario(options, scenario, &flown.Summary, &error)) << error;
    for (const SoundEvent& event : SoundEvents())
        if (event.What == SoundEvent::DeviceRefused)
            GTEST_SKIP() << "No DirectSound device: Wine found no ALSA output. HOME must name the folder with "
                            "the .asoundrc that tests/bench/CMakeLists.txt writes.";
    EXPECT_TRUE(flown.Summary.Faults.empty());
    ExpectTakeOff(flown);
    ExpectSoundToScale(flown.Summary, options.Rate);
}
#endif

// The action table is the one source of the parser, --help and the page
// that documents scenarios: each usage line appears in both texts.
TEST(Scenario, HelpAndDocumentationGiveEveryActionWordAsTheParserReadsIt)
{
    std::string page, problem;
    ASSERT_TRUE(ReadWholeFile(SourcePath("bench/SCENARIOS.md"), &page, &problem)) << problem;
    const std::string help = ScenarioHelp(&LumivaneDescription());
    for (size_t i = 0; i < ActionWordCount; ++i) {
        std::string usage = ActionUsage(ActionWords[i], &LumivaneDescription());
        std::string documented;
        for (char c : usage)
            documented += c == '|' ? std::string("\\|") : std::string(1, c);
        EXPECT_NE(page.find("| `" + documented + "` | " + ActionWords[i].Meaning + " |"), std::string::npos)
            << usage << " in bench/SCENARIOS.md";
        EXPECT_NE(help.find(usage + "\n      " + ActionWords[i].Meaning), std::string::npos) << usage << " in --help";
    }
}

TEST(BenchHost, ModulesThatCannotBeLoadedAreNamedWithTheReason)
{
#ifdef _WIN32
    const std::string noLinkage = "C:\\windows\\system32\\kernel32.dll";
    const std::string needsAbsent = ProgramFolder() + LUMIVANE_NEEDS_ABSENT;
    const std::string absent = "Absent.dll";
#else
    const std::string noLinkage = "/lib/x86_64-linux-gnu/libm.so.6";
    const std::string needsAbsent = std::string(LUMIVANE_NEEDS_ABSENT_FOLDER) + "/" + LUMIVANE_NEEDS_ABSENT;
    const std::string absent = "libabsent.so";
#endif
    // The module cut short, as a broken download leaves it: in its headers,
    // and past them in its sections.
    std::string whole, problem;
    ASSERT_TRUE(ReadWholeFile(ModulePath(), &whole, &problem)) << problem;
    ASSERT_TRUE(MakeFolders(OutFolder("")));
    const std::string cutInHeaders = OutFolder("cut-3000.gau"), cutInSections = OutFolder("cut-20000.gau");
    ASSERT_TRUE(WriteWholeFile(cutInHeaders, whole.substr(0, 3000)));
    ASSERT_TRUE(WriteWholeFile(cutInSections, whole.substr(0, 20000)));
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {cutInHeaders, " is not a gauge module this bench can load: it is a"},
        {cutInHeaders, " cut short"},
        {cutInSections, " cut short"},
        {OutFolder("nothing-here.gau"), "cannot read the module: " + OutFolder("nothing-here.gau") + " does not exist"},
        {SourcePath("bench/scenarios"), SourcePath("bench/scenarios") + " is a folder, not a file"},
        {SourcePath("bench/scenarios/takeoff.txt"), " is not a gauge module this bench can load: it is neither"},
        {noLinkage, noLinkage + " exports no Linkage: not a gauge module"},
        {needsAbsent, needsAbsent + " needs " + absent + ", which this system does not have"},
    };
    for (const auto& c : cases) {
        GaugeHost host;
        std::string error;
        EXPECT_FALSE(host.Load(c.path, &error)) << c.path;
        EXPECT_NE(error.find(c.message), std::string::npos) << "got: " << error;
    }
#ifndef _WIN32
    // A Windows DLL handed to the native bench is known by its first two
    // bytes, and the user is sent to the bench that loads it.
    const struct {
        const char* bytes;
        const char* message;
    } starts[] = {
        {"MZ", " is not a gauge module this bench can load: it is a Windows DLL; the windows bench"},
        {"MM", " is not a gauge module this bench can load: it is neither a DLL nor a shared object"},
        {"ZZ", " is not a gauge module this bench can load: it is neither a DLL nor a shared object"},
    };
    for (const auto& start : starts) {
        const std::string path = OutFolder(std::string("starts-") + start.bytes + ".gau");
        ASSERT_TRUE(WriteWholeFile(path, std::string(start.bytes) + std::string(62, '\0')));
        GaugeHost host;
        std::string error;
        EXPECT_FALSE(host.Load(path, &error)) << path;
        EXPECT_NE(error.find(start.message), std::string::npos) << "got: " << error;
    }
#endif
}

} // namespace
