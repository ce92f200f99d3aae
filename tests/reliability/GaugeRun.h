// Whole-gauge runs in the native build, where the sanitizers watch: the gauge
// is linked into the test program and hosted by the bench's host
// (bench/hosting/GaugeHost.h), which opens it by its file name through the
// loader of a linked module, as the web page does, and drives it only as the
// simulator does: the routines of its gauge header, the element chain
// evaluated in order at every pass, presses hit-tested against the mouse area
// list, and a service table whose entry 40 serves the airspeed of the moment.
// Sounds play on the software DirectSound, whose clock moves one pass of time
// per pass.
#ifndef LUMIVANE_TESTS_RELIABILITY_GAUGERUN_H
#define LUMIVANE_TESTS_RELIABILITY_GAUGERUN_H

#include "bench/hosting/GaugeHost.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/PanelView.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

// What the host shows after one pass, and CalloutStage before and after it.
struct PassView : PanelView {
    int32_t StageBefore = 0;
    int32_t StageAfter = 0;
    // Whether lamp 1, 2 or 3 asked for its call-out in the pass: lamp k
    // moves the stage from k - 1 to k, and the lamps are evaluated in order,
    // so the stages a pass moved through are the call-outs it asked for.
    bool Asked(int lamp) const { return StageBefore < lamp && lamp <= StageAfter; }
};

class GaugeRun {
public:
    static constexpr int PassesPerSecond = 18;

    // Loads the gauge and connects the service table unless told not to.
    // The run shows and presses the gauge from the start: the readout has
    // its buffer and the gauge's areas answer presses before install (and
    // without a service table), as a host that misbehaves would have it.
    explicit GaugeRun(bool connectServices = true);

    GaugeHost& Host() { return host_; }
    void Install() { host_.Install(0); }
    void Kill() { host_.Kill(); }

    // One pass at this airspeed: every element in chain order, then a pass
    // of time on the sound device, if the gauge has one.
    PassView Pass(double airspeed);

    // A left press at panel pixel x, y: the handler of the area there runs,
    // and again `repeats` times where the area repeats while held. Returns
    // that handler, or null when no area is there (or the point is off the
    // gauge).
    AreaHandler Press(int x, int y, int repeats = 0);

    // The bursts of sound the device the gauge holds now has played.
    int Bursts() const;
    void ClearTrack();

private:
    GaugeHost host_;
    PassResults results_;
};

// Every whole-gauge test starts from a freshly loaded module in a scratch
// folder of its own (the settings files' "C:\pelmo" names are plain file
// names natively), with no device, no buffer and no fault, and must end
// with none left.
class WholeGaugeTest : public SettingsTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The gauge as freshly loaded, before a run: every module-wide value as
    // at load, the stage armed, the airspeed record at 0, and of the settings
    // files only those `files` names ('3' C:\pelmo, '1' C:\pelmo1, '2'
    // C:\pelmo2), holding 100, 80 and 90.
    void StartFresh(const char* files = "312");
};

// From one airspeed to another at a steady rate, one value per pass, both
// ends included.
std::vector<double> Ramp(double from, double to, double perSecond);

// The speeds are in the order every adjust keeps: 0 <= Speed1 < Speed2 <
// Speed3 <= 200.
bool SpeedsInOrder();

// A run's length from the environment, for the long forms: the named
// variable when it holds a positive number, else the bounded length.
long RunLength(const char* variable, long bounded);

// One line of figures for `make figures` to collect: "figure: NAME TEXT".
void Figure(const char* name, const std::string& text);

#endif
