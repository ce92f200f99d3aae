// Each reader checks its words and every limit its action has (times and
// durations within a day, airspeeds within ±1e6, presses on the panel), so
// that the run never meets an action it cannot fly in bounded time.
#include "bench/flying/ScenarioActions.h"

#include "bench/files/Files.h"
#include "bench/files/Text.h"
#include "bench/flying/TrackFile.h"

#include <math.h>

namespace {

bool Fail(ActionContext& context, const std::string& what)
{
    context.Error = what;
    return false;
}

bool NumberAt(const std::vector<ScenarioWord>& w, size_t i, ActionContext& context, double* value)
{
    if (!ReadNumber(w[i].Text, value))
        return Fail(context, Quoted(w[i].Text) + " is not a number");
    return true;
}

bool AirspeedAt(const std::vector<ScenarioWord>& w, size_t i, ActionContext& context, double* value)
{
    if (!NumberAt(w, i, context, value))
        return false;
    if (fabs(*value) > MostAirspeed)
        return Fail(context, "the airspeed " + w[i].Text + " is beyond ±1e6, the most a scenario may give "
            "(airspeed nan, inf and -inf are allowed by name)");
    return true;
}

bool DurationAt(const std::vector<ScenarioWord>& w, size_t i, ActionContext& context, const char* what,
    double* value)
{
    if (!NumberAt(w, i, context, value))
        return false;
    if (*value <= 0)
        return Fail(context, std::string("a ") + what + " must last more than 0 s");
    if (*value > MostRunSeconds)
        return Fail(context, std::string("a ") + what + " may last at most " +
            std::to_string(int(MostRunSeconds)) + " s, the longest run");
    return true;
}

// The gauge's settings words: "a, b or c", or "a|b|c".
std::string WordList(const GaugeDescription& gauge, const char* between, const char* last)
{
    std::string list;
    for (int i = 0; i < gauge.SettingsCount; ++i) {
        if (i > 0)
            list += i + 1 == gauge.SettingsCount ? last : between;
        list += gauge.SettingsWords[i];
    }
    return list;
}

bool NoMore(const std::vector<ScenarioWord>& w, size_t used, ActionContext& context, const char* after)
{
    if (w.size() > used)
        return Fail(context, "unexpected " + Quoted(w[used].Text) + " after " + after);
    return true;
}

bool ReadAirspeed(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    // Not-a-number and infinity are fair tests of the gauge, but only asked
    // for by name: no arithmetic of the bench's may make one by accident.
    const std::string& v = w[2].Text;
    if (v == "nan")
        a->Value = NAN;
    else if (v == "inf" || v == "-inf")
        a->Value = v[0] == '-' ? -INFINITY : INFINITY;
    else if (!AirspeedAt(w, 2, context, &a->Value))
        return false;
    return NoMore(w, 3, context, "the airspeed");
}

bool ReadRamp(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    if (w[3].Text != "over")
        return Fail(context, "ramp needs a target and a duration: TIME ramp TARGET over SECONDS");
    return AirspeedAt(w, 2, context, &a->Value) && DurationAt(w, 4, context, "ramp", &a->Duration) &&
        NoMore(w, 5, context, "the ramp");
}

bool ReadNoise(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    if (!AirspeedAt(w, 2, context, &a->Value))
        return false;
    if (a->Value < 0)
        return Fail(context, "the noise amplitude must not be negative");
    size_t used = 3;
    if (w.size() >= 5 && w[3].Text == "seed") {
        int seed = 0;
        if (!ReadWholeNumber(w[4].Text, &seed) || seed < 0)
            return Fail(context, Quoted(w[4].Text) + " is not a seed (a whole number from 0)");
        a->Seed = uint32_t(seed);
        used = 5;
    }
    return NoMore(w, used, context, "the noise");
}

bool ReadTrack(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    const std::string& name = w[2].Text;
    if (!NoMore(w, 3, context, "the track's file"))
        return false;
    std::string path = name;
    if (!path.empty() && path[0] != '/' && !(path.size() > 1 && path[1] == ':'))
        path = context.Folder + name;
    auto known = context.TracksRead.find(path);
    if (known != context.TracksRead.end()) {
        a->TrackIndex = known->second;
        return true;
    }
    std::string text, problem;
    if (!ReadWholeFile(path, &text, &problem))
        return Fail(context, "cannot read the track " + name + ": " + problem);
    std::vector<TrackPoint> points;
    if (!ParseTrack(text, path, &points, &context.Error)) {
        context.ErrorHasPlace = true;
        return false;
    }
    if (points.empty())
        return Fail(context, "the track " + path + " holds no 'seconds,airspeed' rows");
    a->TrackIndex = int(context.Out->Tracks.size());
    context.Out->Tracks.push_back(std::move(points));
    context.TracksRead[path] = a->TrackIndex;
    return true;
}

bool ReadPoint(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    for (size_t i = 2; i < 4; ++i) {
        int* value = i == 2 ? &a->X : &a->Y;
        if (!ReadWholeNumber(w[i].Text, value))
            return Fail(context, Quoted(w[i].Text) + " is not a whole number of pixels");
    }
    // The gauge's own size is known once its module is loaded, and the run
    // holds every point to it then (PointOffGauge); here, to any gauge's.
    const int most = GaugeHost::MostGaugeSide;
    if (a->X < 0 || a->X >= most || a->Y < 0 || a->Y >= most)
        return Fail(context, "the point " + w[2].Text + "," + w[3].Text + " is off the panel, which starts at 0,0 "
            "at the top left and is at most " + std::to_string(most) + " pixels each way");
    return true;
}

bool ReadButton(const std::vector<ScenarioWord>& w, size_t i, ActionContext& context, ScenarioAction* a)
{
    a->Which = Button::Left;
    if (i < w.size()) {
        const std::string& b = w[i].Text;
        if (b == "left")
            a->Which = Button::Left;
        else if (b == "right")
            a->Which = Button::Right;
        else if (b == "middle")
            a->Which = Button::Middle;
        else
            return Fail(context, "unknown button " + Quoted(b) + " (left, right or middle)");
    }
    return NoMore(w, i + 1, context, "the button");
}

bool ReadPress(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    return ReadPoint(w, context, a) && ReadButton(w, 4, context, a);
}

bool ReadHold(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    return ReadPoint(w, context, a) && DurationAt(w, 4, context, "hold", &a->Duration) &&
        ReadButton(w, 5, context, a);
}

bool ReadKillOrInstall(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    bool kill = a->What == ScenarioAction::Kill;
    if (!NoMore(w, 2, context, kill ? "kill" : "install"))
        return false;
    if (kill != context.Installed)
        return Fail(context, kill ? "kill while the gauge is not installed" : "install while the gauge is installed");
    context.Installed = !kill;
    return true;
}

// settings NAME NUMBER|missing|text "...", NAME one of the gauge's settings
// words: the last line for a file is the one that counts.
bool ReadSettings(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction*)
{
    SettingsSetup setup;
    const std::string& name = w[1].Text;
    const GaugeDescription* gauge = context.Gauge;
    if (!gauge || gauge->SettingsCount < 1)
        return Fail(context, "this run's gauge has no settings files a scenario can set up");
    setup.File = -1;
    for (int i = 0; i < gauge->SettingsCount && !w[1].Quoted; ++i)
        if (name == gauge->SettingsWords[i])
            setup.File = i;
    if (setup.File < 0)
        return Fail(context, "unknown settings file " + Quoted(name) + " (" + WordList(*gauge, ", ", " or ") + ")");
    size_t used = 3;
    int number = 0;
    if (w[2].Text == "missing" && !w[2].Quoted) {
        setup.Present = false;
    } else if (w[2].Text == "text" && !w[2].Quoted) {
        if (w.size() < 4 || !w[3].Quoted)
            return Fail(context, "text needs its content in quotes: settings " + name + " text \"...\"");
        setup.Present = true;
        setup.Content = w[3].Text;
        used = 4;
    } else if (!w[2].Quoted && ReadWholeNumber(w[2].Text, &number)) {
        // As the gauge writes it: "%i", no line end.
        setup.Present = true;
        setup.Content = std::to_string(number);
    } else {
        return Fail(context, Quoted(w[2].Text) + " is neither a whole number, 'missing' nor text \"...\"");
    }
    if (!NoMore(w, used, context, "the settings file's content"))
        return false;
    std::vector<SettingsSetup>& settings = context.Out->Settings;
    for (SettingsSetup& earlier : settings)
        if (earlier.File == setup.File) {
            earlier = setup;
            return true;
        }
    settings.push_back(setup);
    return true;
}

bool ReadEnd(const std::vector<ScenarioWord>& w, ActionContext& context, ScenarioAction* a)
{
    if (!NoMore(w, 2, context, "end"))
        return false;
    context.Out->End = a->Time;
    return true;
}

} // namespace

const ActionWord ActionWords[] = {
    {"settings", false, ScenarioAction::End, 3, "a settings file and what it holds",
        "settings NAME NUMBER|missing|text \"...\"",
        "a settings file before the run: holding NUMBER, absent, or exactly the text", ReadSettings},
    {"airspeed", true, ScenarioAction::Airspeed, 3, "a value", "TIME airspeed VALUE",
        "holds the airspeed at VALUE (knots, within ±1e6; nan, inf and -inf by name)", ReadAirspeed},
    {"ramp", true, ScenarioAction::Ramp, 5, "a target and a duration", "TIME ramp TARGET over SECONDS",
        "from the airspeed at TIME, in a straight line to TARGET over SECONDS, then holds TARGET", ReadRamp},
    {"noise", true, ScenarioAction::Noise, 3, "an amplitude", "TIME noise AMPLITUDE [seed N]",
        "adds noise within ±AMPLITUDE to every later pass (0 turns it off); the same seed, the same noise",
        ReadNoise},
    {"track", true, ScenarioAction::Track, 3, "a CSV file", "TIME track FILE.csv",
        "the airspeed from rows of seconds,airspeed counted from TIME, straight between rows, the last held; "
        "the path is relative to the scenario's folder",
        ReadTrack},
    {"press", true, ScenarioAction::Press, 4, "x and y", "TIME press X Y [left|right|middle]",
        "a press and release at panel pixel X, Y (within the gauge's size on the panel, origin top left); the left "
        "button by default",
        ReadPress},
    {"hold", true, ScenarioAction::Hold, 5, "x, y and how long", "TIME hold X Y SECONDS [left|right|middle]",
        "the button held down at X, Y for SECONDS, repeating where the area asks", ReadHold},
    {"kill", true, ScenarioAction::Kill, 2, nullptr, "TIME kill",
        "the gauge's kill routine: sounds released, mouse areas unregistered", ReadKillOrInstall},
    {"install", true, ScenarioAction::Install, 2, nullptr, "TIME install",
        "the install routine again (the gauge must have been killed)", ReadKillOrInstall},
    {"end", true, ScenarioAction::End, 2, nullptr, "TIME end",
        "the last pass; every scenario ends with it, nothing may follow, and it is at most 86400 s", ReadEnd},
};
const size_t ActionWordCount = sizeof ActionWords / sizeof ActionWords[0];

std::string ActionWordList()
{
    std::string list;
    for (const ActionWord& word : ActionWords)
        if (word.Timed)
            list += (list.empty() ? "" : ", ") + std::string(word.Word);
    return list;
}

const ActionWord* FindActionWord(const std::vector<ScenarioWord>& words, bool timed)
{
    const size_t at = timed ? 1 : 0;
    if (words.size() <= at || words[at].Quoted)
        return nullptr;
    for (const ActionWord& word : ActionWords)
        if (word.Timed == timed && words[at].Text == word.Word)
            return &word;
    return nullptr;
}

std::string ActionUsage(const ActionWord& word, const GaugeDescription* gauge)
{
    std::string usage = word.Usage;
    const size_t name = usage.find("NAME");
    if (name == std::string::npos || !gauge || gauge->SettingsCount < 1)
        return usage;
    return usage.replace(name, 4, WordList(*gauge, "|", "|"));
}

std::string ScenarioHelp(const GaugeDescription* gauge)
{
    std::string text = "Scenario lines (TIME: seconds from the start, or +SECONDS after the previous line):\n";
    for (const ActionWord& word : ActionWords)
        text += "  " + ActionUsage(word, gauge) + "\n      " + word.Meaning + "\n";
    return text;
}
