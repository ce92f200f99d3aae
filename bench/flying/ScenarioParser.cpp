// The scenario parser. Words are split on blanks; a '#' starts a comment
// except inside a quoted text. Every check a line can fail is made here or in
// its action word's reader (bench/flying/ScenarioActions.cpp), with the
// line's number, so that the run itself never meets a malformed action.
#include "bench/flying/Scenario.h"

#include "bench/files/Files.h"
#include "bench/files/Text.h"
#include "bench/flying/ScenarioActions.h"

#include <math.h>
#include <stdio.h>

namespace {


// Splits one line; false with `error` for an unterminated quote.
bool SplitLine(const std::string& line, std::vector<ScenarioWord>* words, std::string* error)
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

std::string Seconds(double seconds)
{
    char text[32];
    snprintf(text, sizeof text, "%g", seconds);
    return text;
}

struct Parser {
    const std::string& file;
    Scenario* out;
    int line = 0;
    std::string error;
    ActionContext context;

    bool Fail(const std::string& what)
    {
        error = file + ":" + std::to_string(line) + ": " + what;
        return false;
    }

    // A line of its own before the run (settings).
    bool Untimed(const std::vector<ScenarioWord>& w, const ActionWord& word)
    {
        if (w.size() < word.LeastWords)
            return Fail(std::string(word.Word) + " needs " + word.Needs + ": " + ActionUsage(word, context.Gauge));
        if (!word.Read(w, context, nullptr))
            return Fail(context.Error);
        return true;
    }

    bool Timed(const std::vector<ScenarioWord>& w, double time)
    {
        if (w.size() < 2)
            return Fail("a time needs an action after it (" + ActionWordList() + ")");
        const ActionWord* word = FindActionWord(w, true);
        if (!word)
            return Fail("unknown action " + Quoted(w[1].Text) + " (" + ActionWordList() + ")");
        if (w.size() < word->LeastWords)
            return Fail(std::string(word->Word) + " needs " + word->Needs + ": " + word->Usage);
        ScenarioAction a;
        a.What = word->Kind;
        a.Time = time;
        a.Line = line;
        if (!word->Read(w, context, &a)) {
            if (context.ErrorHasPlace) {
                error = context.Error;
                return false;
            }
            return Fail(context.Error);
        }
        if ((a.What == ScenarioAction::Ramp || a.What == ScenarioAction::Hold) &&
            time + a.Duration > MostRunSeconds)
            return Fail("it would go on past " + Seconds(MostRunSeconds) + " s, the longest run");
        out->Actions.push_back(a);
        return true;
    }

    // A time of the line's first word: seconds, or +SECONDS after the
    // previous timed line; within the longest run.
    bool Time(const ScenarioWord& word, double previous, double* time)
    {
        const std::string& t = word.Text;
        bool relative = !t.empty() && t[0] == '+';
        std::string number = relative ? t.substr(1) : t;
        bool signedAgain = !number.empty() && (number[0] == '+' || number[0] == '-');
        if (word.Quoted || (relative && signedAgain) || !ReadNumber(number, time))
            return Fail(Quoted(t) + " is neither a time in seconds nor 'settings'");
        if (relative)
            *time += previous;
        if (*time < 0)
            return Fail("a time must not be negative");
        if (!(*time <= MostRunSeconds))
            return Fail("the time " + Quoted(t) + " is past " + Seconds(MostRunSeconds) +
                " s, the longest run (a day of passes)");
        return true;
    }

    bool Parse(const std::string& text)
    {
        out->File = file;
        context.Folder = FolderOf(file);
        context.Out = out;
        double previous = 0;
        int previousLine = 0;
        int endLine = 0;
        std::vector<ScenarioWord> w;
        bool good = ForEachLine(text, [&](int number, size_t at, size_t length) {
            line = number;
            if (!SplitLine(text.substr(at, length), &w, &error))
                return Fail(error);
            if (w.empty())
                return true;
            if (endLine)
                return Fail("nothing may follow the end (line " + std::to_string(endLine) + ")");
            if (const ActionWord* untimed = FindActionWord(w, false))
                return Untimed(w, *untimed);
            double time;
            if (!Time(w[0], previous, &time))
                return false;
            if (time < previous)
                return Fail("the time " + w[0].Text + " comes before " + Seconds(previous) + " on line " +
                    std::to_string(previousLine));
            if (!Timed(w, time))
                return false;
            previous = time;
            previousLine = line;
            if (out->Actions.back().What == ScenarioAction::End)
                endLine = line;
            return true;
        });
        if (!good)
            return false;
        if (!endLine) {
            line = line ? line : 1;
            return Fail("the scenario has no end: finish it with a line 'SECONDS end'");
        }
        return true;
    }
};

} // namespace

bool ParseScenario(const std::string& text, const std::string& file, Scenario* out, std::string* error,
    const GaugeDescription* gauge)
{
    *out = Scenario();
    Parser parser{file, out, 0, std::string(), ActionContext()};
    parser.context.Gauge = gauge;
    if (parser.Parse(text))
        return true;
    *error = parser.error;
    return false;
}

bool LoadScenario(const std::string& file, Scenario* out, std::string* error, const GaugeDescription* gauge)
{
    std::string text;
    std::string problem;
    if (!ReadWholeFile(file, &text, &problem)) {
        *error = "cannot read the scenario: " + problem;
        return false;
    }
    return ParseScenario(text, file, out, error, gauge);
}

std::string PointOffGauge(const Scenario& scenario, int width, int height)
{
    for (const ScenarioAction& a : scenario.Actions) {
        if (a.What != ScenarioAction::Press && a.What != ScenarioAction::Hold)
            continue;
        if (a.X >= 0 && a.X < width && a.Y >= 0 && a.Y < height)
            continue;
        char text[160];
        snprintf(text, sizeof text, ":%d: the point %d,%d is off the panel, which is %d × %d pixels from 0,0 at the top "
            "left", a.Line, a.X, a.Y, width, height);
        return scenario.File + text;
    }
    return std::string();
}

Scenario OpenEndedScenario(const std::string& name)
{
    const double endless = 1e7; // 116 days
    Scenario scenario;
    scenario.File = name;
    ScenarioAction end = {};
    end.What = ScenarioAction::End;
    end.Time = endless;
    scenario.Actions.push_back(end);
    scenario.End = endless;
    return scenario;
}
