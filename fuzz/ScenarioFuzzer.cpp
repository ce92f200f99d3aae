// libFuzzer target for the bench's scenario parser and the airspeed profile
// it feeds: whatever a scenario file holds, parsing must end with a message
// or with a scenario the run can fly, whose airspeeds stay finite unless the
// scenario named nan or inf itself, and whose every pass is a line of JSON.
// Tracks are named relative to bench/scenarios/, so `track recorded.csv` is read.
#include "bench/flying/AirspeedProfile.h"
#include "fuzz/FuzzPromise.h"
#include "bench/flying/Scenario.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/measuring/PanelResults.h"
#include "bench/recording/EventLog.h"

#include <math.h>
#include <stddef.h>
#include <stdint.h>

#include <string>

#include <nlohmann/json.hpp>

namespace {

// The passes the run would fly, sampled: a run of a day has 1.5 million, so
// after a stretch with nothing new the walk jumps to the next action's pass.
const double Rate = GaugeHost::PassesPerSecond;
const int StretchPasses = 32;
const int MostEvaluations = 20000;
// Writing and parsing back a JSON line costs far more than a pass of the
// profile (the JSON library is instrumented too): the first passes and a few
// where an action took effect or the airspeed is not finite are logged.
const int MostLines = 4;

// Whether UTF-8 `text` holds exactly the characters U+0000 to U+00FF whose
// numbers are the bytes of `latin1`: the log writes a text the host held
// one character a byte.
bool SameCharacters(const std::string& text, const char* latin1)
{
    size_t at = 0;
    for (; *latin1; ++latin1) {
        const unsigned char want = static_cast<unsigned char>(*latin1);
        const unsigned char c = at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
        if (want < 0x80 && c == want) {
            ++at;
        } else if (want >= 0x80 && at + 1 < text.size() && (c & 0xE0) == 0xC0 &&
                   ((c & 0x1F) << 6 | (static_cast<unsigned char>(text[at + 1]) & 0x3F)) == want) {
            at += 2;
        } else {
            return false;
        }
    }
    return at == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    Scenario scenario;
    std::string error;
    if (!ParseScenario(text, LUMIVANE_SCENARIO_FOLDER "/fuzzed.txt", &scenario, &error, &LumivaneDescription())) {
        Require(!error.empty());
        return 0;
    }
    // What the run counts on without checking again.
    Require(!scenario.Actions.empty() && scenario.Actions.back().What == ScenarioAction::End);
    Require(scenario.End == scenario.Actions.back().Time && scenario.End >= 0 && scenario.End <= MostRunSeconds);
    bool namedNonFinite = false;
    double previous = 0;
    for (const ScenarioAction& a : scenario.Actions) {
        Require(a.Time >= previous && a.Time <= MostRunSeconds);
        previous = a.Time;
        if (!isfinite(a.Value))
            namedNonFinite = true;
        else
            Require(fabs(a.Value) <= MostAirspeed);
        if (a.What == ScenarioAction::Ramp || a.What == ScenarioAction::Hold)
            Require(a.Duration > 0 && a.Time + a.Duration <= MostRunSeconds);
        if (a.What == ScenarioAction::Press || a.What == ScenarioAction::Hold)
            Require(a.X >= 0 && a.X < GaugeHost::MostGaugeSide && a.Y >= 0 && a.Y < GaugeHost::MostGaugeSide);
        Require(PointOffGauge(scenario, GaugeHost::MostGaugeSide, GaugeHost::MostGaugeSide).empty());
        if (a.What == ScenarioAction::Track)
            Require(a.TrackIndex >= 0 && size_t(a.TrackIndex) < scenario.Tracks.size() &&
                !scenario.Tracks[size_t(a.TrackIndex)].empty());
    }

    AirspeedProfile profile(&scenario);
    const uint64_t passes = uint64_t(floor(scenario.End * Rate + 1e-9)) + 1;
    size_t next = 0;
    int quiet = 0;
    int lines = 0;
    const bool lamps[PanelSpeeds] = {true, false, true}, marks[PanelSpeeds] = {false, true, false};
    const PassResults results = PanelResults(lamps, marks, text.substr(0, 16).c_str());
    LumivaneReader reader;
    reader.ModuleLoaded(LUMIVANE_SCENARIO_FOLDER "/no-such-sandbox");
    reader.Passed(&results, 0, nullptr, 0);
    for (uint64_t pass = 0, evaluations = 0; pass < passes && evaluations < MostEvaluations; ++evaluations) {
        const double now = double(pass) / Rate;
        bool applied = false;
        while (next < scenario.Actions.size() && scenario.Actions[next].Time <= now + 1e-9) {
            profile.Apply(scenario.Actions[next++]);
            applied = true;
        }
        const double airspeed = profile.At(now);
        Require(namedNonFinite || isfinite(airspeed));

        quiet = applied ? 0 : quiet + 1;
        if ((evaluations < 2 || applied || !isfinite(airspeed)) && lines < MostLines) {
            ++lines;
            PassRecord record;
            record.Pass = pass;
            record.Time = now;
            record.Airspeed = airspeed;
            record.Installed = pass % 2 == 0;
            record.Results = record.Installed ? &results : nullptr;
            const std::string line = EventLine(record, &reader);
            Require(!line.empty() && line.back() == '\n');
            const nlohmann::json parsed = nlohmann::json::parse(line, nullptr, false);
            Require(!parsed.is_discarded() && parsed.is_object());
            if (record.Installed)
                Require(SameCharacters(parsed["texts"].at(0).get<std::string>(),
                                       results.Elements[PanelReadoutElement].Text));
        }
        uint64_t following = pass + 1;
        if (quiet >= StretchPasses && next < scenario.Actions.size()) {
            const uint64_t due = uint64_t(floor(scenario.Actions[next].Time * Rate + 1e-9));
            following = due > following ? due : following;
            quiet = 0;
        }
        pass = following;
    }
    return 0;
}
