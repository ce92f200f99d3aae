// What a reader of one gauge's panel (bench/flying/GaugeReader.h) tells the
// rooms that know no gauge: the gauge's own words and numbers, so that the
// keys, the scenario's settings lines, the sound tap, the event log's first
// line, the chart and the measuring tools take them from here and never
// name them. A host can learn the rest from the module itself; this is what
// only the gauge's reader knows (Lumivane's: bench/lumivane/LumivaneFacts.h).
// It is plain constant data, words and numbers only: the page carries it, and
// every byte of the page counts.
#ifndef LUMIVANE_BENCH_FLYING_GAUGEDESCRIPTION_H
#define LUMIVANE_BENCH_FLYING_GAUGEDESCRIPTION_H

#include "bench/flying/Scenario.h"
#include "bench/sound/ModuleClips.h"

#include <string>
#include <vector>

// The controls of the panel a person's keys press (bench/flying/HandInput.h):
// a decrease and an increase area, and three selector buttons, first to
// third. Which area each one is, the reader knows.
enum class PanelControl { None, Decrease, Increase, Selector1, Selector2, Selector3 };
constexpr int PanelControlCount = 6;

// A control in the gauge's words; null where the gauge gives none.
struct ControlWords {
    const char* Does; // what a key that presses it does, for --help and the page
    const char* Hint; // the shortest label, for a button or the window's strip
};

// What a person hears of one of the gauge's clips.
struct ClipSound {
    const char* Sound; // "single beep"
    int Beeps;         // bursts of sound one play holds
};

// A state of the gauge its calls to the system are counted in
// (bench/measuring): the settings files laid out before the module is
// loaded, the airspeed over the counted passes (steady, or a ramp), and
// what its first text element shows at rest (empty: not checked; the pass
// timing checks the first state's). A gauge's states stand beside its
// description, for the measuring tools alone (Lumivane's:
// LumivaneMeasuredStates()), so that the page carries none of them.
struct MeasuredState {
    std::string Name;
    std::vector<SettingsSetup> Settings;
    double From = 0, To = 0;
    std::string Readout;
};

struct GaugeDescription {
    const char* Name;       // the gauge, as its pilots know it
    const char* ModuleFile; // the file name it must be installed under
    // The speeds it keeps, by name, first to last. Each pass's "speeds" and
    // "lamps" in events.jsonl follow this order: lamp k goes with speed k.
    int SpeedCount;
    const char* const* Speeds;
    // The words a scenario's `settings` line names its settings files by;
    // SettingsSetup::File counts into this list.
    int SettingsCount;
    const char* const* SettingsWords;
    // Every lamp is dark above speed DarkAboveSpeed (counted from 1) by
    // DarkAboveBy; 0: no such limit.
    int DarkAboveSpeed;
    double DarkAboveBy;
    // The sounds it carries: the name each play is known by and the wave
    // resource it is read from, as the sound tap reads them, and beside
    // each what a person hears.
    int ClipCount;
    const ModuleClipSource* Clips;
    const ClipSound* Sounds;
    ControlWords Controls[PanelControlCount]; // None's is never used
    const char* TakeOff;                      // what the take-off key does, or null
};

// Puts the sound tap in front of the loaded `module`'s DirectSound
// (bench/sound/SoundTap.h), each play named by the clip of `gauge` it
// starts (null: plays go unnamed); false when the module imports none.
bool TapGaugeSound(void* module, bool softSound, const GaugeDescription* gauge);

#endif
