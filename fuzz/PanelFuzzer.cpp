// libFuzzer target for the readers of an aircraft's panel: its Panel.cfg
// (first byte even) and a window's background bitmap file (odd), the rest
// being the file. Whatever the bytes, a panel read keeps every promise the
// checks and pictures rely on: problems that name the file and stay short
// and few, windows numbered once each, a window shown only with its title
// and section and every window below it listed, and every readable entry's
// place and size within the units; a bitmap read is the size its header
// says and within the decoder's bounds, and one not read says why. And the
// edits an install and an uninstall make keep every other byte: a line added
// after any line is read there and taken out again to the byte, its diff
// adds just that line, and taking out every line that may be an entry
// leaves none.
#include "bench/aircraft/BitmapFile.h"
#include "bench/aircraft/PanelConfig.h"
#include "bench/aircraft/PanelEdit.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

#include <set>
#include <string>
#include <vector>

namespace {

void Edit(const std::string& text, const PanelConfig& config, size_t size);

void ReadConfig(const uint8_t* bytes, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    PanelConfig config;
    PanelProblems problems;
    ReadPanelConfig(text, "fuzzed.cfg", &config, &problems);
    Require(problems.Kept().size() <= PanelProblems::MostKept && problems.Kept().size() <= problems.Count());
    // A message quotes at most two of the file's words, each cut at 40
    // bytes, a control byte among them written in four characters.
    for (const std::string& problem : problems.Kept())
        Require(problem.rfind("fuzzed.cfg", 0) == 0 && problem.size() < 700);
    int previous = -1;
    for (const PanelWindow& window : config.Windows) {
        Require(window.Number > previous && window.Number <= 999);
        previous = window.Number;
        Require(!window.Shown || (window.TitleLine && window.SectionLine));
        Require(window.SizeUnits >= 0 && window.SizeUnits <= MostPanelUnits);
        std::set<int> numbers;
        for (const PanelGauge& gauge : window.Gauges) {
            Require(gauge.Number >= 0 && gauge.Number <= 999 && numbers.insert(gauge.Number).second);
            Require(gauge.Line >= 1 && size_t(gauge.Line) <= size + 1);
            if (!gauge.Readable)
                continue;
            Require(!gauge.Name.empty());
            for (int units : {gauge.X, gauge.Y, gauge.Width, gauge.Height})
                Require(units >= 0 && units <= MostPanelUnits);
            Require(!gauge.Height || gauge.Width);
        }
        Require(!numbers.count(NextGaugeNumber(window)));
    }
    // A window shown has every number below its own listed in the titles.
    int listed = 0;
    for (const PanelWindow& window : config.Windows) {
        if (window.TitleLine && window.Number == listed)
            ++listed;
        Require(!window.Shown || window.Number < listed);
        Require(!window.LastLine || window.LastLine >= window.SectionLine);
    }
    Edit(text, config, size);
}

int LineCount(const std::string& text)
{
    int lines = 0;
    for (size_t at = 0; at < text.size(); ++lines) {
        const size_t end = text.find('\n', at);
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

void Edit(const std::string& text, const PanelConfig& config, size_t size)
{
    const int lines = LineCount(text);
    const int after = int(size % size_t(lines + 1));
    const std::string line = "gauge99=Fuzzed, 1, 2";
    const std::string added = WithLineAdded(text, after, line);
    Require(LineCount(added) == lines + 1 && WithLinesTakenOut(added, {after + 1}) == text);
    PanelConfig read;
    PanelProblems problems;
    ReadPanelConfig(added, "fuzzed.cfg", &read, &problems);
    bool found = false;
    for (const PanelEntryLine& entry : read.EntryLines)
        found = found || (entry.Line == after + 1 && entry.Name == "Fuzzed");
    Require(found && read.EntryLines.size() == config.EntryLines.size() + 1);
    const std::string diff = UnifiedDiff(text, added, "fuzzed.cfg");
    Require(diff.find("\n+" + line + "\n") != std::string::npos);

    std::vector<int> entries;
    for (const PanelEntryLine& entry : config.EntryLines) {
        Require(entry.Line >= 1 && entry.Line <= lines);
        entries.push_back(entry.Line);
    }
    const std::string without = WithLinesTakenOut(text, entries);
    Require(LineCount(without) == lines - int(entries.size()));
    ReadPanelConfig(without, "fuzzed.cfg", &read, &problems);
    Require(read.EntryLines.empty());
}

void ReadBitmap(const uint8_t* bytes, size_t size)
{
    Image image;
    std::string problem;
    if (!DecodeBitmapFile(bytes, size, &image, &problem)) {
        Require(!problem.empty() && problem.size() < 300 && image.Width == 0);
        return;
    }
    Require(image.Width >= 1 && image.Width <= 4096 && image.Height >= 1 && image.Height <= 4096);
    Require(image.Pixels.size() == size_t(image.Width) * size_t(image.Height) * 3);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 1)
        return 0;
    if (bytes[0] & 1)
        ReadBitmap(bytes + 1, size - 1);
    else
        ReadConfig(bytes + 1, size - 1);
    return 0;
}
