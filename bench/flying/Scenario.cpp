// The scenario parser and the airspeed profile. Words are split on blanks; a
// '#' starts a comment except inside a quoted text. Every check a line can
// fail is made here, with the line's number, so that the run itself never
// meets a malformed action.
#include "bench/flying/Scenario.h"

#include "bench/files/Files.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

namespace {

// A word, or a quoted text with \n \r \t \\ \" escapes. `quoted` tells which.
struct Word {
    std::string Text;
    bool Quoted;
};

// Splits one line; false with `error` for an unterminated quote.
bool SplitLine(const std::string& line, std::vector<Word>* words, std::string* error)
{
    words->clear();
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#')
            break;
        if (c == '"') {
            std::string text;
            bool closed = false;
            for (++i; i < line.size(); ++i) {
                if (line[i] == '"') {
                    closed = true;
                    ++i;
                    break;
                }
                if (line[i] == '\\' && i + 1 < line.size()) {
                    char e = line[++i];
                    text += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                } else {
                    text += line[i];
                }
            }
            if (!closed) {
                *error = "the text has no closing quote";
                return false;
            }
            words->push_back({text, true});
            continue;
        }
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' && line[i] != '#')
            ++i;
        words->push_back({line.substr(start, i - start), false});
    }
    return true;
}

bool Number(const std::string& word, double* value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    *value = strtod(word.c_str(), &end);
    return end && *end == 0 && isfinite(*value) && word.find_first_of("xXpP") == std::string::npos;
}

bool WholeNumber(const std::string& word, int* value)
{
    if (word.empty() || word.size() > 9)
        return false;
    char* end = nullptr;
    long v = strtol(word.c_str(), &end, 10);
    if (!end || *end)
        return false;
    *value = int(v);
    return true;
}

const char* const Actions = "airspeed, ramp, noise, track, press, hold, kill, install, end";

struct Parser {
    const std::string& file;
    Scenario* out;
    int line = 0;
    std::string error;

    bool Fail(const std::string& what)
    {
        error = file + ":" + std::to_string(line) + ": " + what;
        return false;
    }

    bool NumberAt(const std::vector<Word>& w, size_t i, double* value)
    {
        if (!Number(w[i].Text, value))
            return Fail("'" + w[i].Text + "' is not a number");
        return true;
    }

    bool PixelAt(const std::vector<Word>& w, size_t i, int* value)
    {
        if (!WholeNumber(w[i].Text, value))
            return Fail("'" + w[i].Text + "' is not a whole number of pixels");
        return true;
    }

    bool NoMore(const std::vector<Word>& w, size_t used, const char* after)
    {
        if (w.size() > used)
            return Fail("unexpected '" + w[used].Text + "' after " + after);
        return true;
    }

    bool ButtonAt(const std::vector<Word>& w, size_t i, int* button)
    {
        *button = 0;
        if (i >= w.size())
            return true;
        const std::string& b = w[i].Text;
        if (b == "left")
            *button = 0;
        else if (b == "right")
            *button = 1;
        else if (b == "middle")
            *button = 2;
        else
            return Fail("unknown button '" + b + "' (left, right or middle)");
        return true;
    }

    bool Settings(const std::vector<Word>& w)
    {
        const char* usage = "settings needs a speed and what its file holds: "
                            "settings speed1|speed2|speed3 NUMBER|missing|text \"...\"";
        if (w.size() < 3)
            return Fail(usage);
        SettingsSetup setup;
        const std::string& speed = w[1].Text;
        if (speed == "speed1")
            setup.Speed = 1;
        else if (speed == "speed2")
            setup.Speed = 2;
        else if (speed == "speed3")
            setup.Speed = 3;
        else
            return Fail("unknown speed '" + speed + "' (speed1, speed2 or speed3)");
        size_t used = 3;
        int value = 0;
        if (w[2].Text == "missing" && !w[2].Quoted) {
            setup.Present = false;
        } else if (w[2].Text == "text" && !w[2].Quoted) {
            if (w.size() < 4 || !w[3].Quoted)
                return Fail("text needs its content in quotes: settings " + speed + " text \"...\"");
            setup.Present = true;
            setup.Content = w[3].Text;
            used = 4;
        } else if (!w[2].Quoted && WholeNumber(w[2].Text, &value)) {
            // As the gauge writes it: "%i", no line end.
            setup.Present = true;
            setup.Content = std::to_string(value);
        } else {
            return Fail("'" + w[2].Text + "' is neither a whole number, 'missing' nor text \"...\"");
        }
        if (!NoMore(w, used, "the settings file's content"))
            return false;
        for (SettingsSetup& earlier : out->Settings)
            if (earlier.Speed == setup.Speed) {
                earlier = setup;
                return true;
            }
        out->Settings.push_back(setup);
        return true;
    }

    bool Track(const std::string& name, std::vector<TrackPoint>* points)
    {
        std::string path = name;
        if (!path.empty() && path[0] != '/' && !(path.size() > 1 && path[1] == ':'))
            path = FolderOf(file) + name;
        std::string text;
        std::string problem;
        if (!ReadWholeFile(path, &text, &problem))
            return Fail("cannot read the track " + name + ": " + problem);
        int row = 0;
        size_t at = 0;
        while (at <= text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::string l = text.substr(at, end - at);
            at = end + 1;
            ++row;
            while (!l.empty() && (l.back() == '\r' || l.back() == ' '))
                l.pop_back();
            if (l.empty() || l[0] == '#')
                continue;
            size_t comma = l.find(',');
            double t, v;
            bool numbers = comma != std::string::npos && Number(l.substr(0, comma), &t) &&
                           Number(l.substr(comma + 1), &v);
            if (!numbers) {
                if (points->empty() && row == 1)
                    continue; // a header line
                error = path + ":" + std::to_string(row) + ": expected 'seconds,airspeed', found '" + l + "'";
                return false;
            }
            if (t < 0 || (!points->empty() && t < points->back().Time)) {
                error = path + ":" + std::to_string(row) + ": the times must start at 0 or later and not go back";
                return false;
            }
            points->push_back({t, v});
            if (end == text.size())
                break;
        }
        if (points->empty())
            return Fail("the track " + path + " holds no 'seconds,airspeed' rows");
        return true;
    }

    bool Timed(const std::vector<Word>& w, double time, bool* installed)
    {
        ScenarioAction a;
        a.Time = time;
        a.Line = line;
        if (w.size() < 2)
            return Fail(std::string("a time needs an action after it (") + Actions + ")");
        const std::string& what = w[1].Text;
        if (what == "airspeed") {
            if (w.size() < 3)
                return Fail("airspeed needs a value: TIME airspeed VALUE");
            a.What = ScenarioAction::Airspeed;
            if (!NumberAt(w, 2, &a.Value) || !NoMore(w, 3, "the airspeed"))
                return false;
        } else if (what == "ramp") {
            if (w.size() < 5 || w[3].Text != "over")
                return Fail("ramp needs a target and a duration: TIME ramp TARGET over SECONDS");
            a.What = ScenarioAction::Ramp;
            if (!NumberAt(w, 2, &a.Value) || !NumberAt(w, 4, &a.Duration) || !NoMore(w, 5, "the ramp"))
                return false;
            if (a.Duration <= 0)
                return Fail("a ramp must last more than 0 s");
        } else if (what == "noise") {
            if (w.size() < 3)
                return Fail("noise needs an amplitude: TIME noise AMPLITUDE [seed N]");
            a.What = ScenarioAction::Noise;
            if (!NumberAt(w, 2, &a.Value))
                return false;
            if (a.Value < 0)
                return Fail("the noise amplitude must not be negative");
            size_t used = 3;
            if (w.size() >= 5 && w[3].Text == "seed") {
                int seed = 0;
                if (!WholeNumber(w[4].Text, &seed) || seed < 0)
                    return Fail("'" + w[4].Text + "' is not a seed (a whole number from 0)");
                a.Seed = uint32_t(seed);
                used = 5;
            }
            if (!NoMore(w, used, "the noise"))
                return false;
        } else if (what == "track") {
            if (w.size() < 3)
                return Fail("track needs a CSV file: TIME track FILE.csv");
            a.What = ScenarioAction::Track;
            std::vector<TrackPoint> points;
            if (!Track(w[2].Text, &points) || !NoMore(w, 3, "the track's file"))
                return false;
            a.TrackIndex = int(out->Tracks.size());
            out->Tracks.push_back(points);
        } else if (what == "press" || what == "hold") {
            bool hold = what == "hold";
            size_t need = hold ? 5 : 4;
            if (w.size() < need)
                return Fail(hold ? "hold needs x, y and how long: TIME hold X Y SECONDS [left|right|middle]"
                                 : "press needs x and y: TIME press X Y [left|right|middle]");
            a.What = hold ? ScenarioAction::Hold : ScenarioAction::Press;
            if (!PixelAt(w, 2, &a.X) || !PixelAt(w, 3, &a.Y))
                return false;
            if (hold) {
                if (!NumberAt(w, 4, &a.Duration))
                    return false;
                if (a.Duration <= 0)
                    return Fail("a hold must last more than 0 s");
            }
            if (!ButtonAt(w, need, &a.Button) || !NoMore(w, need + 1, "the button"))
                return false;
        } else if (what == "kill" || what == "install") {
            bool kill = what == "kill";
            if (!NoMore(w, 2, what.c_str()))
                return false;
            if (kill != *installed)
                return Fail(kill ? "kill while the gauge is not installed" : "install while the gauge is installed");
            *installed = !kill;
            a.What = kill ? ScenarioAction::Kill : ScenarioAction::Install;
        } else if (what == "end") {
            if (!NoMore(w, 2, "end"))
                return false;
            a.What = ScenarioAction::End;
            out->End = time;
        } else {
            return Fail("unknown action '" + what + "' (" + Actions + ")");
        }
        out->Actions.push_back(a);
        return true;
    }

    bool Parse(const std::string& text)
    {
        out->File = file;
        bool installed = true;
        double previous = 0;
        int previousLine = 0;
        int endLine = 0;
        size_t at = 0;
        std::vector<Word> w;
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::string l = text.substr(at, end - at);
            at = end + 1;
            ++line;
            if (!SplitLine(l, &w, &error))
                return Fail(error);
            if (w.empty())
                continue;
            if (endLine)
                return Fail("nothing may follow the end (line " + std::to_string(endLine) + ")");
            if (w[0].Text == "settings" && !w[0].Quoted) {
                if (!Settings(w))
                    return false;
                continue;
            }
            const std::string& t = w[0].Text;
            bool relative = !t.empty() && t[0] == '+';
            double time;
            if (!Number(relative ? t.substr(1) : t, &time) || w[0].Quoted)
                return Fail("'" + t + "' is neither a time in seconds nor 'settings'");
            if (relative)
                time += previous;
            if (time < 0)
                return Fail("a time must not be negative");
            if (time < previous)
                return Fail("the time " + t + " comes before " + Format(previous) + " on line " +
                            std::to_string(previousLine));
            if (!Timed(w, time, &installed))
                return false;
            previous = time;
            previousLine = line;
            if (out->Actions.back().What == ScenarioAction::End)
                endLine = line;
        }
        if (!endLine) {
            line = line ? line : 1;
            return Fail("the scenario has no end: finish it with a line 'SECONDS end'");
        }
        return true;
    }

    static std::string Format(double seconds)
    {
        char text[32];
        snprintf(text, sizeof text, "%g", seconds);
        return text;
    }
};

} // namespace

bool ParseScenario(const std::string& text, const std::string& file, Scenario* out, std::string* error)
{
    *out = Scenario();
    Parser parser{file, out, 0, std::string()};
    if (parser.Parse(text))
        return true;
    *error = parser.error;
    return false;
}

bool LoadScenario(const std::string& file, Scenario* out, std::string* error)
{
    std::string text;
    std::string problem;
    if (!ReadWholeFile(file, &text, &problem)) {
        *error = "cannot read the scenario: " + problem;
        return false;
    }
    return ParseScenario(text, file, out, error);
}

void AirspeedProfile::Apply(const ScenarioAction& action)
{
    double now = Base(action.Time);
    switch (action.What) {
    case ScenarioAction::Airspeed:
        value_ = action.Value;
        ramping_ = false;
        track_ = -1;
        break;
    case ScenarioAction::Ramp:
        value_ = now;
        rampStart_ = action.Time;
        rampTarget_ = action.Value;
        rampDuration_ = action.Duration;
        ramping_ = true;
        track_ = -1;
        break;
    case ScenarioAction::Noise:
        noise_ = action.Value;
        noiseState_ = action.Seed * 2654435761u + 1u;
        break;
    case ScenarioAction::Track:
        ramping_ = false;
        track_ = action.TrackIndex;
        trackStart_ = action.Time;
        trackAt_ = 0;
        break;
    default:
        break;
    }
}

void AirspeedProfile::Hold(double value)
{
    value_ = value;
    ramping_ = false;
    track_ = -1;
}

double AirspeedProfile::Base(double t) const
{
    if (track_ >= 0) {
        const std::vector<TrackPoint>& points = scenario_->Tracks[size_t(track_)];
        double local = t - trackStart_;
        size_t i = trackAt_;
        while (i + 1 < points.size() && points[i + 1].Time <= local)
            ++i;
        if (local <= points[0].Time)
            return points[0].Airspeed;
        if (i + 1 >= points.size())
            return points.back().Airspeed;
        const TrackPoint& a = points[i];
        const TrackPoint& b = points[i + 1];
        double span = b.Time - a.Time;
        return span > 0 ? a.Airspeed + (b.Airspeed - a.Airspeed) * (local - a.Time) / span : b.Airspeed;
    }
    if (ramping_) {
        double f = (t - rampStart_) / rampDuration_;
        if (f >= 1)
            return rampTarget_;
        return value_ + (rampTarget_ - value_) * (f > 0 ? f : 0);
    }
    return value_;
}

double AirspeedProfile::At(double t)
{
    if (track_ >= 0) {
        // Times only grow, so the search starts where the last one ended.
        const std::vector<TrackPoint>& points = scenario_->Tracks[size_t(track_)];
        while (trackAt_ + 1 < points.size() && points[trackAt_ + 1].Time <= t - trackStart_)
            ++trackAt_;
    }
    double v = Base(t);
    if (noise_ > 0) {
        // xorshift32: the same noise for the same seed on every machine.
        noiseState_ ^= noiseState_ << 13;
        noiseState_ ^= noiseState_ >> 17;
        noiseState_ ^= noiseState_ << 5;
        v += noise_ * (2.0 * (noiseState_ / 4294967296.0) - 1.0);
    }
    return v;
}
