// libFuzzer target for the readers of an aircraft's panel: its Panel.cfg
// (first byte even) and a window's background bitmap file (odd), the rest
// being the file. Whatever the bytes, a panel read keeps every promise the
// checks and pictures rely on: problems that name the file and stay short
// and few, windows numbered once each, a window shown only with its title
// and section and every window below it listed, and every readable entry's
// place and size within the units; a bitmap read is the size its header
// says and within the decoder's bounds, and one not read says why.
#include "bench/aircraft/BitmapFile.h"
#include "bench/aircraft/PanelConfig.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

#include <set>
#include <string>

namespace {

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
    }
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
