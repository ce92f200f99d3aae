// Another gauge through the same bench: TwinLamps.gau (tests/bench/gauges),
// two lamps and a text element and no mouse areas, flown on a ramp and
// recorded as Lumivane is, with no change to the bench. What the host holds
// of each element, the frames painted from it and the log must follow that
// gauge's own chain; nothing of Lumivane's panel is said of it. Killed, it
// is painted as the bare panel. Under Wine, Faulting.gau crashes where it is
// asked to, and the run names the call and the pass and keeps its records
// whole up to the pass before; where it is asked to move the stack, either
// way, the run names the call and how far.
#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/recording/EventLog.h"
#include "bench/recording/RecordedRun.h"
#include "bench/hosting/GaugeHost.h"
#include "bench/pictures/PanelPainter.h"
#include "bench/pictures/PassPainter.h"

#include "BenchPaths.h"
#include "QuietRun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <stdio.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

const Rgb BrightRed = {255, 0, 0}, NearBlack = {4, 4, 4};

// TwinLamps.gau flown quietly into `folder`.
RunOptions TwinLampsRun(const char* folder)
{
    return QuietRun(folder, "TwinLamps.gau");
}

TEST(OtherGauge, IsFlownPaintedAndRecordedByItsOwnChain)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("0 airspeed 0\n0 ramp 150 over 5\n6 end\n", "twin.txt", &scenario, &error)) << error;
    RunOptions options = TwinLampsRun("twin-lamps");
    LumivaneReader reader;
    options.Reader = &reader;
    PassPainter painter;
    int painted = 0, litOne = 0, litTwo = 0;
    options.ShowPass = [&](const PassRecord& pass) {
        ASSERT_NE(pass.Results, nullptr);
        ASSERT_EQ(pass.Results->Count, 4) << "a background, two lamps and a text element";
        EXPECT_FALSE(reader.Reading().Lumivane) << "the panel is not Lumivane's";
        EXPECT_EQ(reader.State(), "") << "nothing is said of another gauge's panel";
        EXPECT_EQ(reader.Event(), "") << "nothing is said of another gauge's plays";
        ASSERT_TRUE(painter.Paint(pass)) << painter.Problem();
        ++painted;
        // Lamp 1 lights its well from 50 knots, lamp 2 from 100; the text
        // is the airspeed's whole knots.
        const Image& frame = painter.Frame();
        const double v = pass.Airspeed;
        EXPECT_EQ(frame.At(30, 16), v >= 50 ? BrightRed : NearBlack) << "lamp 1's well at " << v;
        EXPECT_EQ(frame.At(55, 16), v >= 100 ? BrightRed : NearBlack) << "lamp 2's well at " << v;
        litOne += v >= 50;
        litTwo += v >= 100;
        char text[8];
        snprintf(text, sizeof text, "%3d", int(v));
        EXPECT_STREQ(pass.Results->Elements[3].Text, text);
    };
    RunSummary summary;
    ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
    EXPECT_TRUE(summary.Faults.empty()) << summary.Faults.front();
    EXPECT_EQ(painted, int(summary.Passes));
    EXPECT_GT(litTwo, 10) << "the ramp reaches past both lamps";
    EXPECT_GT(litOne, litTwo);

    std::string log, problem;
    ASSERT_TRUE(ReadWholeFile(JoinPath(options.Out, "events.jsonl"), &log, &problem)) << problem;
    std::istringstream lines(log);
    std::string line;
    // The first line is the reader's description, whatever gauge it flew.
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line + "\n", GaugeLine(reader.Description()));
    int count = 0;
    while (std::getline(lines, line)) {
        const nlohmann::json pass = nlohmann::json::parse(line);
        ++count;
        ASSERT_EQ(pass["results"].size(), 4u) << line;
        EXPECT_TRUE(pass["results"][0].is_null()) << "the background has no callback: " << line;
        for (int lamp : {1, 2})
            EXPECT_TRUE(pass["results"][lamp] == 0.0 || pass["results"][lamp] == -1.0) << line;
        EXPECT_EQ(pass["results"][3], 0.5) << "the text callback hands the host's argument back: " << line;
        ASSERT_EQ(pass["texts"].size(), 1u) << line;
        for (const char* lumivane : {"lamps", "marks", "readout", "speeds"})
            EXPECT_TRUE(pass[lumivane].is_null()) << lumivane << " in " << line;
    }
    EXPECT_EQ(count, int(summary.Passes));
}

// The host keeps the services called only while it is asked to, so that a
// long run's list does not grow with every pass; asked again, it keeps them
// again.
TEST(OtherGauge, TheServicesCalledAreKeptOnlyWhileAsked)
{
    GaugeHost host;
    std::string error;
    ASSERT_TRUE(host.Load(ModulePath("TwinLamps.gau"), &error)) << error;
    host.ConnectServices();
    host.Install(0);
    PassResults results;
    for (bool traced : {true, false, true}) {
        host.TraceServices(traced);
        host.ClearCalls();
        host.Pass(120, &results);
        host.Query();
        EXPECT_EQ(host.Calls().empty(), !traced) << (traced ? "traced" : "not traced");
    }
    host.Kill();
}

// While the gauge is killed the window and the frames show the bare panel:
// painted, once changed, then unchanged until the gauge is back.
TEST(OtherGauge, AKilledGaugeIsPaintedAsTheBarePanel)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("0 airspeed 0\n0.5 kill\n1 install\n1.5 end\n", "killed.txt", &scenario, &error))
        << error;
    RunOptions options = TwinLampsRun("twin-lamps-killed");
    PassPainter painter;
    std::vector<std::string> seen; // "installed" or "killed", and "changed"
    options.ShowPass = [&](const PassRecord& pass) {
        ASSERT_TRUE(painter.Paint(pass)) << painter.Problem();
        seen.push_back(std::string(pass.Results ? "installed" : "killed") + (painter.Changed() ? " changed" : ""));
        if (pass.Results)
            return;
        const Image& frame = painter.Frame();
        EXPECT_EQ(frame, Image(frame.Width, frame.Height, PanelPainter::PanelColour)) << "pass " << pass.Pass;
    };
    RunSummary summary;
    ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
    ASSERT_EQ(seen.size(), 28u);
    EXPECT_EQ(seen[0], "installed changed");
    EXPECT_EQ(seen[8], "installed");
    EXPECT_EQ(seen[9], "killed changed");
    EXPECT_EQ(seen[17], "killed");
    EXPECT_EQ(seen[18], "installed changed");
    EXPECT_EQ(seen[27], "installed");
}

#ifdef _WIN32
// Only the windows build catches a module's fault, and measures the stack;
// natively the sanitizer ends the process (tests/bench/CommandLineTest.py
// runs it there).
TEST(OtherGauge, AFaultyModuleIsNamedWithItsCallAndPassAndItsRecordsEndBefore)
{
    // A run flown to its end, two seconds: 37 passes.
    const uint64_t Flown = 37;
    const struct {
        const char* scenario;
        bool crashes;
        uint64_t pass; // the pass the module crashed in: the records hold the ones before
        const char* said; // the start of a line of the summary, from its faults on
    } rows[] = {
        {"0 airspeed 60\n1 airspeed 1000\n2 end\n", true, 18,
            "The module crashed in pass 18 (1.00 s): element 1 (icon)'s callback faulted: an access violation "
            "writing 0x00000000 at Faulting.gau+0x"},
        {"0 airspeed 60\n1 airspeed 2000\n2 end\n", true, 18,
            "The module crashed in pass 18 (1.00 s): element 1 (icon)'s callback faulted: an integer division by "
            "zero at Faulting.gau+0x"},
        // A call through a null routine faults at address 0, in no module:
        // caught once no handler of the system's takes it.
        {"0 airspeed 60\n1 airspeed 3000\n2 end\n", true, 18,
            "The module crashed in pass 18 (1.00 s): element 1 (icon)'s callback faulted: an access violation "
            "executing 0x00000000 at 0x00000000"},
        {"0 airspeed 60\n1 airspeed 4000\n2 end\n", true, 18,
            "The module crashed in pass 18 (1.00 s): element 2 (text)'s callback faulted: an access violation "
            "reading 0x00000000 at Faulting.gau+0x"},
        // The update routine comes before the pass's lookups: it sees the
        // airspeed of the pass before.
        {"0 airspeed 60\n1 airspeed 5000\n2 end\n", true, 19,
            "The module crashed in pass 19 (1.06 s): update routine faulted: an access violation writing "
            "0x00000000 at Faulting.gau+0x"},
        {"0 airspeed 60\n0.5 press 50 30\n2 end\n", true, 9,
            "The module crashed in pass 9 (0.50 s): area handler 1 faulted: an access violation writing "
            "0x00000000 at Faulting.gau+0x"},
        {"0 airspeed 60\n1 airspeed 6000\n1.5 kill\n2 end\n", true, 27,
            "The module crashed in pass 27 (1.50 s): kill routine faulted: "},
        {"0 airspeed 60\n1 airspeed 6000\n2 end\n", true, Flown,
            "The module crashed after the last pass (2.06 s): kill routine faulted: "},
        // A callback that leaves its argument behind and one that takes a
        // word too many are both named, with how far they moved the stack,
        // at every pass they were called in; the run goes on.
        {"0 airspeed 60\n1 airspeed 7000\n2 end\n", false, Flown,
            "19 faults:\n  element 2 (text) moved the stack by -8 (19 times)"},
        {"0 airspeed 60\n1 airspeed 8000\n2 end\n", false, Flown,
            "19 faults:\n  element 2 (text) moved the stack by 4 (19 times)"},
    };
    for (const auto& row : rows) {
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(row.scenario, "crash.txt", &scenario, &error)) << error;
        RunOptions options = QuietRun("faulting", "Faulting.gau");
        uint64_t shown = 0;
        options.ShowPass = [&](const PassRecord& pass) {
            EXPECT_EQ(pass.Pass, shown) << row.scenario;
            ++shown;
        };
        RunSummary summary;
        ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
        const std::string said = DescribeSummary(summary);
        EXPECT_NE(said.find(std::string("\n") + row.said), std::string::npos) << row.scenario << said;
        EXPECT_EQ(summary.Crash.empty(), !row.crashes) << said;
        EXPECT_EQ(summary.CrashPass, row.crashes ? row.pass : 0) << row.scenario;
        if (row.crashes)
            EXPECT_EQ(said.find("No faults."), std::string::npos) << "said once, without contradicting: " << said;
        const uint64_t whole = std::min<uint64_t>(row.pass, Flown);
        EXPECT_EQ(summary.Passes, whole) << row.scenario;
        EXPECT_EQ(shown, whole) << "passes shown: " << row.scenario;
        std::string log, problem;
        ASSERT_TRUE(ReadWholeFile(JoinPath(options.Out, "events.jsonl"), &log, &problem)) << problem;
        std::istringstream lines(log);
        std::string line;
        uint64_t count = 0;
        ASSERT_TRUE(std::getline(lines, line)) << "the gauge's line: " << row.scenario;
        EXPECT_TRUE(nlohmann::json::parse(line).contains("gauge")) << row.scenario;
        while (std::getline(lines, line))
            EXPECT_EQ(nlohmann::json::parse(line)["pass"], count++) << row.scenario;
        EXPECT_EQ(count, whole) << "lines of events.jsonl: " << row.scenario;
        std::string sound;
        ASSERT_TRUE(ReadWholeFile(JoinPath(options.Out, "sound.wav"), &sound, &problem)) << problem;
        EXPECT_GE(sound.size(), 44u) << "a whole sound.wav: " << row.scenario;
    }
}
#endif

} // namespace
