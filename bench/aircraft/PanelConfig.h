// An aircraft's panel configuration (Panel.cfg), read the lenient way where
// what the 1998 simulator does is not settled: keys in any case, `//` and
// `;` comments, CR LF or LF line ends, windows shown from window00 up to the
// first missing number, gauge places in the window's own units (size_mm of
// them across its bitmap) and an optional width and height after them. The
// reader only reads text: it never opens the bitmaps or the gauges it names
// (bench/aircraft/PanelCheck.h does), so it can be fuzzed on its own.
//
// Everything wrong is a problem of its own, "file:line: what", and the
// reading goes on past it: a pilot mending a file wants every fault at once.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELCONFIG_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELCONFIG_H

#include "bench/aircraft/PanelProblems.h"

#include <stddef.h>

#include <string>
#include <vector>

// The most a Panel.cfg may be: such files are a few kilobytes, so a
// megabyte is far past any real one, and keeps a read and its problems quick.
constexpr size_t MostPanelConfigBytes = 1u << 20;
// The largest number of units a place, size or window width may have; far
// beyond any screen, and small enough that no product of them overflows.
constexpr int MostPanelUnits = 32767;

// One gaugeNN= line of a window.
struct PanelGauge {
    int Number = 0;   // NN
    int Line = 0;
    std::string Name; // as written, blanks around it dropped
    bool Readable = false; // NAME, X, Y and any width and height all as they must be
    int X = 0, Y = 0;      // the top-left corner, in the window's units
    int Width = 0, Height = 0; // after Y, in units; 0 when not given
};

// A window: its title's line in [Window Titles], its own [WindowNN] section,
// or both.
struct PanelWindow {
    int Number = 0;      // NN
    std::string Title;   // from [Window Titles]
    int TitleLine = 0;   // 0 when it is not listed there
    int SectionLine = 0; // 0 when it has no section
    bool Shown = false;  // listed, with a section, and no gap in the titles before it
    std::string File;    // its background bitmap, in the panel's folder
    int FileLine = 0;
    int SizeUnits = 0;   // size_mm: its width in its own units; 0 when not given or not readable
    int SizeLine = 0;
    std::vector<PanelGauge> Gauges; // in the file's order
    int LastLine = 0;    // the last line of its section that holds more than blanks and comments
};

// A line whose key is "gauge" and digits, wherever it stands and however its
// number is written: what a pilot may have meant as a gauge's entry, read or
// not.
struct PanelEntryLine {
    int Line = 0;
    std::string Name; // the value up to its first comma (or blank, without one), blanks around it dropped
};

struct PanelConfig {
    std::string Path;
    std::vector<PanelWindow> Windows;       // by number
    std::vector<PanelEntryLine> EntryLines; // in the file's order
};

// Reads `text` as the configuration file `path`; every problem goes to
// `problems`.
void ReadPanelConfig(const std::string& text, const std::string& path, PanelConfig* out, PanelProblems* problems);

// Reads the file at `path` whole (at most MostPanelConfigBytes), its bytes
// into `text` when given, and then as above. False, with the problem, when
// it cannot be read at all.
bool LoadPanelConfig(const std::string& path, PanelConfig* out, PanelProblems* problems, std::string* text = nullptr);

// The lowest gauge number the window does not use yet.
int NextGaugeNumber(const PanelWindow& window);

// `text` with A to Z in lower case, as keys, names and files are compared.
std::string LowerCase(std::string text);

// The file's names for window and gauge 7, written here once: "Window07",
// "[Window07]" as a section is named, "window07" as [Window Titles] lists it,
// "gauge07" as an entry's key.
std::string WindowName(int number);
std::string WindowSection(int number);
std::string WindowTitleKey(int number);
std::string GaugeKey(int number);

#endif
