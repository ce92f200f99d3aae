// A host for whole-gauge runs in the native build, where the sanitizers
// watch: it drives the gauge only as the simulator does, through the routines
// of its gauge header, the element chain evaluated in order at every pass,
// presses hit-tested against the mouse area list, and a service table whose
// entry 40 serves the airspeed of the moment. Sounds play on the software
// DirectSound, whose clock moves one pass of time per pass.
#ifndef LUMIVANE_TESTS_RELIABILITY_GAUGERUN_H
#define LUMIVANE_TESTS_RELIABILITY_GAUGERUN_H

#include "host/Records.h"
#include "host/Services.h"
#include "platform/Platform.h"

#include "tests/settings/SettingsFixture.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <string>
#include <vector>

// What the host shows after one pass.
struct PanelView {
    double Lamps[3];  // lamp 1, 2, 3: 0.0 lit, -1.0 dark
    double Marks[3];  // bottom (Speed1), middle (Speed2), top (Speed3)
    std::string Readout;
    double ReadoutResult;
    int32_t StageBefore[3]; // CalloutStage as each lamp found it
    int32_t StageAfter[3];
};

class GaugeRun {
public:
    static constexpr int PassesPerSecond = 18;
    static constexpr int Width = 100;
    static constexpr int Height = 70;

    // Writes the service table into ImportTable unless told not to, and
    // hands the readout its text buffer.
    explicit GaugeRun(bool writeServiceTable = true);
    // Takes both back; the gauge is not killed here.
    ~GaugeRun();

    void Install();
    void Kill();

    // One pass at this airspeed: every element in chain order, then a pass
    // of time on the sound device, if the gauge has one.
    PanelView Pass(double airspeed);

    // A left press at panel pixel x, y: the handler of the area there runs,
    // and again `repeats` times where the area repeats while held. Returns
    // that handler, or null when no area is there (or the point is off the
    // gauge).
    AreaHandler Press(int x, int y, int repeats = 0);

    // How often the gauge called this service entry.
    int ServiceCalls(HostService entry) const;

    // The sound device's samples so far, and the bursts of sound in them.
    // The device is the one the gauge holds now.
    int Bursts() const;
    void ClearTrack();

    char Text[16];

private:
    HostServiceAddress services_[64];
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
