// Lumivane.gau's panel as a host can read it, in one place: which of its
// elements are the lamps, the selector marks and the readout, which of its
// mouse areas select and adjust, what lit means, which call-out a play is,
// and the three speeds as far as a host can know them. The event log, the
// chart, the contact sheet's captions, the window and the web page all say
// what this says, so they never disagree. The host itself (bench/hosting)
// knows none of it.
//
// A host sees the element results, the settings files and the handlers it
// ran, never the gauge's memory. Where those leave a speed open it is
// unknown, never a guess from a file the gauge did not read.
#ifndef LUMIVANE_BENCH_FLYING_LUMIVANEPANEL_H
#define LUMIVANE_BENCH_FLYING_LUMIVANEPANEL_H

#include "bench/hosting/GaugeHost.h"

#include <stdint.h>

#include <string>

// The three speeds; arrays below hold Speed1, Speed2, Speed3 at 0, 1, 2.
constexpr int PanelSpeeds = 3;

// Where the lamps (lamp 1, 2, 3), the selector marks (Speed1, 2, 3: bottom,
// middle, top) and the readout lie in Lumivane's chain, counted from the
// background, 0.
constexpr int PanelLampElements[PanelSpeeds] = {1, 2, 3};
constexpr int PanelMarkElements[PanelSpeeds] = {4, 5, 6};
constexpr int PanelReadoutElement = 7;

// What one pass of Lumivane's panel shows.
struct PanelShows {
    bool Lumivane = false;     // the chain is Lumivane's; nothing below holds otherwise
    bool Lamps[PanelSpeeds] = {}; // lamp 1, 2, 3 lit
    bool Marks[PanelSpeeds] = {}; // the selector square of Speed1, 2, 3 lit
    int Selected = -1;         // the one speed whose square is lit, 0 to 2; -1 when not exactly one
    const char* Readout = "";  // the readout's text, valid while the pass's results are
    bool Formatted = false;    // the readout's callback handed the host's argument back
};

// Reads one pass's element results as Lumivane's panel; Lumivane is false for
// any other chain (another gauge's, or the gauge killed: no results).
PanelShows ReadPanel(const PassResults* results);

// The results a host holds of Lumivane's panel showing these lamps, marks
// and readout (cut to the host's buffer), the readout formatted: what
// ReadPanel reads back, for a program that makes passes of its own.
PassResults PanelResults(const bool lamps[PanelSpeeds], const bool marks[PanelSpeeds], const char* readout);

// The readout's text as the number "%3d" made of it: blanks, an optional
// minus and digits, nothing else; false for anything else ("***" among it).
bool ReadoutNumber(const char* text, int32_t* value);

// Lumivane's mouse areas by what they do, and their number in its registered
// list (the group's start is 0).
enum class PanelArea { None, Decrease, Increase, SelectSpeed1, SelectSpeed2, SelectSpeed3 };
PanelArea AreaRole(const MouseArea* areas, int number);
// The middle of that area of the registered list `areas`; false while none
// is registered or the list is not Lumivane's.
bool AreaMiddle(const MouseArea* areas, PanelArea area, int* x, int* y);

// Speed 1, 2 or 3's settings file as the gauge opens it ("C:\pelmo1") and
// where it lies in a settings sandbox.
const char* SettingsFileOf(int speed);
std::string SettingsFilePath(const std::string& sandbox, int speed);

// A settings file read as the gauge's "%i" reads it: white space, a sign, a
// 0x or 0 prefix, digits up to the first that cannot continue, held at the
// 32-bit limits. At most MostBytes are read; a number not over by then is
// TooLong, as is a file the bench could not finish reading.
enum class SettingsNumber { Unopened, NoNumber, Number, TooLong };
SettingsNumber ScanSettingsFile(const std::string& path, int32_t* value);

// The speeds as far as a host can know them, and which call-outs a pass
// started.
struct PanelReading {
    // The module's panel is Lumivane's, as its last pass showed; it stays so
    // while the gauge is killed.
    bool Lumivane = false;
    PanelShows Shows; // this pass's; Shows.Lumivane is false while killed
    bool SpeedKnown[PanelSpeeds] = {};
    int32_t Speeds[PanelSpeeds] = {};
    bool Loaded = false; // the gauge has read its settings files: they no longer count
    static constexpr int MostCallouts = 3;
    int Callouts[MostCallouts] = {}; // the speeds (1 to 3) whose call-out started this pass, 0 unknown
    int CalloutCount = 0;
};

// Follows one loaded module from pass to pass. At a fresh load the gauge
// holds its own starting speeds, 80, 90 and 100, with Speed3 selected, and
// has read no file. Until its readout hands the host's argument back, every
// pass reads the files in the gauge's order, Speed3, Speed1, Speed2, up to
// the first it cannot open, and a file without a number keeps its speed.
// From then on only the adjusts change a speed, and each leaves memory and
// file equal. The readout, once formatted, is the selected speed.
class PanelReader {
public:
    // A fresh load of the module, whose settings files lie in the sandbox
    // folder `sandbox` (bench/hosting/SettingsSandbox.h).
    void ModuleLoaded(const std::string& sandbox);
    // A handler ran, before the pass that follows; in the order they ran.
    void HandlerRan(const MouseArea* areas, int area);
    // After a pass of the installed gauge at `airspeed` (`results` null while
    // it is killed), with the clips whose play started in it.
    void Passed(const PassResults* results, double airspeed, const char* const* plays, int playCount);

    const PanelReading& Reading() const { return reading_; }

private:
    void Forget();
    void ReadFile(int speed, bool keepWithoutNumber, bool* opened);
    void FollowStage(double airspeed, const char* const* plays, int playCount);

    std::string sandbox_;
    PanelReading reading_;
    int selected_ = 2;
    bool selectedKnown_ = true;
    bool adjusted_[PanelSpeeds] = {};
    // The call-out sequence: call-outs sounded since the last re-arm.
    int stage_ = 0;
    bool stageKnown_ = true;
};

// What a person is told, in words: "Speed2 selected: 91" ("?" for a speed
// not known); "Speed1: single beep" for call-out 1 ("A call-out" when its
// speed is not known). Empty for a panel that is not Lumivane's or shows no
// selection.
std::string SelectionSentence(const PanelReading& reading);
std::string CalloutSentence(int speed);

#endif
