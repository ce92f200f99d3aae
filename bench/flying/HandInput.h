// What a person at the panel asks for between passes, as the bench's window
// and the web page take it: the left button down and up on a panel pixel,
// and the keys that set the airspeed or fly a take-off. It is queued as it
// comes and acted on at the next pass, at that pass's time, so that presses,
// repeats and the take-off are counted in passes however the events were
// spaced.
#ifndef LUMIVANE_BENCH_FLYING_HANDINPUT_H
#define LUMIVANE_BENCH_FLYING_HANDINPUT_H

#include "bench/flying/Pass.h"

#include <vector>

enum class AirspeedKey { Up, Down, PageUp, PageDown, Home, TakeOff };

class HandInput {
public:
    // The keys' limits and take-off: from 0 to this far above Speed3 (past
    // Speed3 + 10, where every lamp goes dark) over TakeOffSeconds, then held.
    static constexpr double MostAirspeed = 999;
    static constexpr double TakeOffBeyondSpeed3 = 20, TakeOffSeconds = 10;
    // Speed3 before a pass has shown it.
    static constexpr int DefaultSpeed3 = 100;

    // The left button at panel pixel x, y: held down until Up.
    void Down(int x, int y);
    void Up();
    // Up and Down step by 1, Page Up and Page Down by 10, Home is 0, from
    // what earlier keys asked for even before a pass applied it, so that a
    // held key's repeats add up.
    void Key(AirspeedKey key);
    // Before a pass: everything queued since the last one, then the take-off's
    // airspeed at this pass's time.
    void Apply(PassControl& control);
    // After a pass: the airspeed and Speed3 it showed.
    void Shown(const PassRecord& pass);

    bool TakingOff() const { return takingOff_; }

private:
    struct Input {
        enum Kind { Down, Up, Airspeed, TakeOff } What;
        int X, Y;
        double Value;
    };

    std::vector<Input> inputs_;
    double airspeed_ = 0;
    bool aimed_ = false; // keys have asked for an airspeed not yet applied
    double aim_ = 0;
    bool takingOff_ = false;
    double takeOffStart_ = 0, takeOffTop_ = 0;
    int speed3_ = DefaultSpeed3;
};

#endif
