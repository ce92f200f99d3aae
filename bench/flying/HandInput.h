// What a person at the panel asks for between passes, as the bench's window
// and the web page take it: the left button down and up on a panel pixel,
// and the keys. It is queued as it comes and acted on at the next pass, at
// that pass's time, so that presses, repeats and the take-off are counted in
// passes however the events were spaced.
//
// The keys are one table: the window, --help, the page's buttons and its text
// all read it, and the window's page of the docs is held to it. A key for the gauge is a
// press where the run's reader of the panel (bench/flying/GaugeReader.h) says
// its control is, held while the key is down, so the gauge's own handlers
// decide everything, as with the mouse; the keys for the airspeed stand in
// for the simulator, and the take-off climbs as the reader says. What a key
// for the gauge does is said in the gauge's words, from its description.
#ifndef LUMIVANE_BENCH_FLYING_HANDINPUT_H
#define LUMIVANE_BENCH_FLYING_HANDINPUT_H

#include "bench/flying/GaugeReader.h"
#include "bench/flying/Pass.h"

#include <string>
#include <vector>

enum class HandKey {
    AirspeedUp,
    AirspeedDown,
    AirspeedUpTen,
    AirspeedDownTen,
    AirspeedZero,
    TakeOff,
    Selector1,
    Selector2,
    Selector3,
    Decrease,
    Increase,
};

struct KeyBinding {
    HandKey Code;
    const char* Name;   // as a person reads it: "Page Up"
    const char* WebKey; // the KeyboardEvent.key values it answers to, blank-separated
    int WindowsKey;     // its Win32 virtual-key code
    const char* Does;   // what it does, for --help and the page's text, where no gauge says
    const char* Hint;   // the shortest label, for a button or the window's strip, likewise
    PanelControl Control; // the control it presses, or None for an airspeed key
};

extern const KeyBinding HandKeys[];
extern const int HandKeyCount;
// The binding of a key, or null.
const KeyBinding* FindHandKey(HandKey key);
// The binding of a Win32 virtual-key code, or null.
const KeyBinding* FindWindowsKey(int windowsKey);
// What a key does and its label in the words of `gauge` (null: none): a
// control's and the take-off's are the gauge's where it gives them.
const char* KeyDoes(const KeyBinding& key, const GaugeDescription* gauge);
const char* KeyHint(const KeyBinding& key, const GaugeDescription* gauge);
// The table as --help gives it, under `heading`, one key a line.
std::string KeysHelp(const char* heading, const GaugeDescription* gauge);

class HandInput {
public:
    // The most the airspeed keys set.
    static constexpr double MostAirspeed = 999;

    // The left button at panel pixel x, y: held down until Up.
    void Down(int x, int y);
    void Up();
    // A key goes down; `repeat` when the system repeats a key held down. An
    // airspeed key acts at every down, from what earlier keys asked for even
    // before a pass applied it, so that a held key's repeats add up. A key
    // for the gauge holds its area's press until it comes up, and the press
    // repeats as a held button's does, so the system's repeats are ignored.
    void KeyDown(HandKey key, bool repeat = false);
    void KeyUp(HandKey key);
    // Before a pass: everything queued since the last one, then the take-off's
    // airspeed at this pass's time. A key for the gauge presses, and the
    // take-off key climbs, only as the run's reader of the panel says; with
    // none, they do nothing.
    void Apply(PassControl& control);
    // The window closed: what is queued is dropped, what is held let go (so
    // that no repeat runs in the pass that ends the run), and the run stops.
    void Leave(PassControl& control);
    // After a pass: the airspeed it flew, from which the airspeed keys step.
    void Follow(const PassRecord& pass);

    bool TakingOff() const { return takingOff_; }

private:
    struct Input {
        enum Kind { Down, Up, Airspeed, TakeOff, AreaDown } What;
        int X, Y;
        double Value;
        PanelControl Control;
    };
    // Who holds the press, so that only its own release lets it go.
    enum class Holder { None, Mouse, Key };

    void AirspeedKey(HandKey key);

    std::vector<Input> inputs_;
    Holder holder_ = Holder::None;
    HandKey heldKey_ = HandKey::AirspeedUp;
    double airspeed_ = 0;
    bool aimed_ = false; // keys have asked for an airspeed not yet applied
    double aim_ = 0;
    bool takingOff_ = false;
    double takeOffStart_ = 0, takeOffTop_ = 0, takeOffSeconds_ = 0;
};

#endif
