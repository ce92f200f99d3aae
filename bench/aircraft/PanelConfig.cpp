// Lines are read one at a time and never copied whole into a message: every
// word of the pilot's is quoted at a bounded length (bench/files/Text.h),
// as the scenario and track readers quote theirs. The first of two sections,
// keys or gauge numbers that repeat is the one kept, as a profile reader that
// looks a key up from the top finds it; the second is a problem.
#include "bench/aircraft/PanelConfig.h"

#include "bench/aircraft/PanelEntry.h"

#include "bench/files/Files.h"
#include "bench/files/Text.h"

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

// What NumberAfter answers for a name that is not the word and a number, and
// for a number written otherwise than the file numbers them.
const int NotNumbered = -1, Miswritten = -2;
// Windows and gauges are numbered with two digits; a hundred and more is
// allowed three.
const size_t MostDigits = 3;

// "Window07" and "gauge07", as the file numbers them.
std::string NumberedName(const char* word, int number)
{
    char text[32];
    snprintf(text, sizeof text, "%s%02d", word, number);
    return text;
}

// The number in `name` (already in lower case) after `word`: "window07" is
// 7 after "window". Written as the file numbers them, with two digits.
int NumberAfter(const std::string& name, const char* word)
{
    const std::string start(word);
    if (name.size() <= start.size() || name.compare(0, start.size(), start) != 0)
        return NotNumbered;
    const std::string digits = name.substr(start.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos)
        return NotNumbered;
    if (digits.size() > MostDigits)
        return Miswritten;
    const int number = atoi(digits.c_str());
    return NumberedName("", number) == digits ? number : Miswritten;
}

std::string Bytes(unsigned char c)
{
    char text[8];
    snprintf(text, sizeof text, "0x%02X", c);
    return text;
}

struct Reader {
    Reader(const std::string& file, PanelProblems* told) : path(file), problems(told) {}

    const std::string& path;
    PanelProblems* problems;
    enum class Section { None, Titles, Window, Other, Ignored } section = Section::None;
    std::string sectionName; // as written, for messages
    int windowNumber = 0;
    int line = 0;
    bool titlesSeen = false;
    std::map<int, PanelWindow> windows;
    std::map<int, std::map<int, int>> gaugeLines; // window -> gauge number -> its first line
    std::map<std::string, int> sectionLines;      // lower-case name -> first line
    std::map<std::string, int> keyLines;          // in this section: lower-case key -> first line
    std::vector<PanelEntryLine> entryLines;

    void Problem(const std::string& what) { problems->Add(path, line, what); }

    // The section's name as a message shows it: as written, in brackets, but
    // quoted at a bounded length when it is long or holds control bytes.
    std::string Bracketed() const
    {
        const std::string quoted = Quoted(sectionName);
        return "[" + (quoted.size() == sectionName.size() + 2 ? sectionName : quoted) + "]";
    }

    PanelWindow& Window(int number)
    {
        PanelWindow& window = windows[number];
        window.Number = number;
        return window;
    }

    void Line(std::string text)
    {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c >= 0x80 || c == 0x7F || (c < 0x20 && c != '\t')) {
                Problem("byte " + Bytes(c) + " in column " + std::to_string(i + 1) +
                    " is not ASCII text (a panel file is plain ASCII)");
                break;
            }
        }
        const size_t comment = std::min(text.find("//"), text.find(';'));
        if (comment != std::string::npos)
            text.erase(comment);
        text = TrimBlanks(text);
        if (text.empty())
            return;
        if (text[0] == '[') {
            SectionLine(text);
            return;
        }
        if (section == Section::Window)
            Window(windowNumber).LastLine = line;
        KeyLine(text);
    }

    // A gauge's line wherever it stands, for a pilot's every entry to be
    // found, by the NAME the entry reader takes.
    void EntryLine(const std::string& value) { entryLines.push_back({line, GaugeEntryName(value)}); }

    void SectionLine(const std::string& text)
    {
        keyLines.clear();
        section = Section::Ignored;
        const size_t close = text.find(']');
        if (close == std::string::npos) {
            Problem("the section name " + Quoted(text) + " has no closing ']'");
            return;
        }
        const std::string after = TrimBlanks(text.substr(close + 1));
        if (!after.empty())
            Problem("unexpected " + Quoted(after) + " after the section name");
        sectionName = TrimBlanks(text.substr(1, close - 1));
        const std::string name = LowerCase(sectionName);
        const auto seen = sectionLines.find(name);
        if (seen != sectionLines.end()) {
            Problem(Bracketed() + " again: the first, on line " + std::to_string(seen->second) +
                ", is the one read");
            return;
        }
        sectionLines[name] = line;
        const int number = NumberAfter(name, "window");
        if (name == "window titles") {
            section = Section::Titles;
            titlesSeen = true;
        } else if (number >= 0) {
            section = Section::Window;
            windowNumber = number;
            Window(number).SectionLine = line;
        } else if (number == Miswritten) {
            Problem(Quoted("[" + sectionName + "]") + " is not read: windows are numbered with two digits, as in "
                "[Window07]");
        } else {
            section = Section::Other;
        }
    }

    // Where the line is, for a gauge found outside every window.
    std::string Where() const
    {
        return section == Section::None ? "before any section" : "in " + Bracketed();
    }

    void KeyLine(const std::string& text)
    {
        const size_t equals = text.find('=');
        if (equals != std::string::npos &&
            NumberAfter(LowerCase(TrimBlanks(text.substr(0, equals))), "gauge") != NotNumbered)
            EntryLine(TrimBlanks(text.substr(equals + 1)));
        if (section == Section::Ignored)
            return;
        if (equals == std::string::npos) {
            if (section == Section::None)
                Problem(Quoted(text) + " comes before any section");
            else if (section != Section::Other)
                Problem("expected KEY=VALUE, found " + Quoted(text));
            return;
        }
        const std::string written = TrimBlanks(text.substr(0, equals));
        const std::string key = LowerCase(written);
        const std::string value = TrimBlanks(text.substr(equals + 1));
        const int gauge = NumberAfter(key, "gauge");
        if (section != Section::Window && gauge != NotNumbered) {
            Problem((gauge >= 0 ? GaugeKey(gauge) : Quoted(written)) + "= is outside every window (" +
                Where() + "): a gauge's line belongs in its window's [WindowNN] section");
            return;
        }
        switch (section) {
        case Section::None:
            Problem(Quoted(text) + " comes before any section");
            return;
        case Section::Titles:
            Title(written, key, value);
            return;
        case Section::Window:
            if (gauge != NotNumbered)
                Gauge(written, gauge, value);
            else
                WindowKey(written, key, value);
            return;
        default:
            return; // other sections are read past
        }
    }

    void Title(const std::string& written, const std::string& key, const std::string& value)
    {
        const int number = NumberAfter(key, "window");
        if (number == Miswritten) {
            Problem(Quoted(written) + " is not read: windows are numbered with two digits, as in window07");
            return;
        }
        if (number < 0) {
            Problem(Quoted(written) + " is not a windowNN= line");
            return;
        }
        PanelWindow& window = Window(number);
        if (window.TitleLine) {
            Problem(WindowTitleKey(number) + " again: the first, on line " + std::to_string(window.TitleLine) +
                ", is the one read");
            return;
        }
        window.TitleLine = line;
        window.Title = value;
    }

    // A key of the window; false when it was given before.
    bool FirstTime(const std::string& written, const std::string& key)
    {
        const auto seen = keyLines.find(key);
        if (seen != keyLines.end()) {
            Problem(written + "= again in " + Bracketed() + ": the first, on line " + std::to_string(seen->second) +
                ", is the one read");
            return false;
        }
        keyLines[key] = line;
        return true;
    }

    void WindowKey(const std::string& written, const std::string& key, const std::string& value)
    {
        PanelWindow& window = Window(windowNumber);
        int number = 0;
        double ratio = 0;
        const bool whole = ReadWholeNumber(value, &number);
        if (key == "file") {
            if (!FirstTime(written, key))
                return;
            if (value.empty())
                Problem("file= names no bitmap");
            window.File = value;
            window.FileLine = line;
        } else if (key == "size_mm") {
            if (!FirstTime(written, key))
                return;
            window.SizeLine = line;
            if (whole && number >= 1 && number <= MostPanelUnits)
                window.SizeUnits = number;
            else
                Problem("size_mm= wants the window's width in its own units, a whole number from 1 to " +
                    std::to_string(MostPanelUnits) + ", not " + Quoted(value));
        } else if (key == "position") {
            if (FirstTime(written, key) && !(whole && number >= 0 && number <= 8))
                Problem("position= wants a place on the screen from 0 to 8, not " + Quoted(value));
        } else if (key == "visible") {
            if (FirstTime(written, key) && !(whole && (number == 0 || number == 1)))
                Problem("visible= wants 0 or 1, not " + Quoted(value));
        } else if (key == "window_size_ratio") {
            if (FirstTime(written, key) && !(ReadNumber(value, &ratio) && ratio > 0))
                Problem("window_size_ratio= wants a number above 0, not " + Quoted(value));
        }
        // ident= and the keys of later versions are read past.
    }

    void Gauge(const std::string& written, int number, const std::string& value)
    {
        if (number == Miswritten) {
            Problem(Quoted(written) + " is not read: gauges are numbered with two digits, as in gauge07");
            return;
        }
        const std::string entry = GaugeKey(number);
        std::map<int, int>& lines = gaugeLines[windowNumber];
        const auto seen = lines.find(number);
        if (seen != lines.end()) {
            Problem(entry + " again in " + Bracketed() + ": the first, on line " + std::to_string(seen->second) +
                ", is the one read");
            return;
        }
        lines[number] = line;

        PanelGauge gauge = ReadGaugeEntry(entry, value, [this](const std::string& what) { Problem(what); });
        gauge.Number = number;
        gauge.Line = line;
        Window(windowNumber).Gauges.push_back(gauge);
    }

    void Finish(PanelConfig* out)
    {
        line = 0;
        if (!titlesSeen)
            Problem("there is no [Window Titles] section, so the simulator shows no window");
        int firstMissing = 0;
        while (windows.count(firstMissing) && windows[firstMissing].TitleLine)
            ++firstMissing;
        bool gapTold = false;
        for (auto& numbered : windows) {
            PanelWindow& window = numbered.second;
            const std::string name = WindowSection(window.Number);
            if (window.TitleLine && !window.SectionLine)
                problems->Add(path, window.TitleLine,
                    WindowTitleKey(window.Number) + " is listed, but there is no " + name + " section");
            if (window.SectionLine && !window.TitleLine && titlesSeen)
                problems->Add(path, window.SectionLine,
                    name + " is not listed in [Window Titles], so it is never shown");
            if (window.TitleLine && window.Number > firstMissing && !gapTold) {
                problems->Add(path, window.TitleLine,
                    WindowTitleKey(window.Number) + " and every window after it are never shown: " +
                    WindowTitleKey(firstMissing) + " is not listed, and windows are shown from window00 "
                    "up to the first missing number");
                gapTold = true;
            }
            window.Shown = window.TitleLine && window.SectionLine && window.Number < firstMissing;
            if (window.SectionLine && window.File.empty() && !window.FileLine)
                problems->Add(path, window.SectionLine, name + " has no file= naming its background bitmap");
            if (window.SectionLine && !window.SizeLine)
                problems->Add(path, window.SectionLine, name + " has no size_mm=, its width in its own units");
            GaugeGap(window);
            out->Windows.push_back(window);
        }
        out->EntryLines = std::move(entryLines);
    }

    void GaugeGap(const PanelWindow& window)
    {
        const std::map<int, int>& lines = gaugeLines[window.Number];
        int missing = 0;
        while (lines.count(missing))
            ++missing;
        const auto after = lines.upper_bound(missing);
        if (after != lines.end())
            problems->Add(path, after->second,
                GaugeKey(after->first) + " and any after it may never be shown: " +
                GaugeKey(missing) + " is missing, and gauges, like windows, are read up to the "
                "first missing number");
    }
};

} // namespace

std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

std::string WindowName(int number)
{
    return NumberedName("Window", number);
}

std::string WindowSection(int number)
{
    return "[" + WindowName(number) + "]";
}

std::string WindowTitleKey(int number)
{
    return NumberedName("window", number);
}

std::string GaugeKey(int number)
{
    return NumberedName("gauge", number);
}

void ReadPanelConfig(const std::string& text, const std::string& path, PanelConfig* out, PanelProblems* problems)
{
    *out = PanelConfig();
    out->Path = path;
    Reader reader(path, problems);
    ForEachLine(text, [&](int number, size_t at, size_t length) {
        reader.line = number;
        reader.Line(text.substr(at, length));
        return true;
    });
    reader.Finish(out);
}

bool LoadPanelConfig(const std::string& path, PanelConfig* out, PanelProblems* problems, std::string* text)
{
    *out = PanelConfig();
    out->Path = path;
    std::string bytes, problem;
    if (text)
        text->clear();
    if (!ReadWholeFile(path, &bytes, &problem, MostPanelConfigBytes)) {
        problems->Add(path, 0, "cannot read the panel configuration: " + problem);
        return false;
    }
    ReadPanelConfig(bytes, path, out, problems);
    if (text)
        *text = std::move(bytes);
    return true;
}

int NextGaugeNumber(const PanelWindow& window)
{
    std::set<int> used;
    for (const PanelGauge& gauge : window.Gauges)
        used.insert(gauge.Number);
    int number = 0;
    while (used.count(number))
        ++number;
    return number;
}
