// The web page's backend of the bench's pass: the gauge hosted as the bench
// hosts it (GaugeHost), its sound through the bench's tap and software
// DirectSound, its panel painted by the bench's PassPainter. The page's clock
// decides when a pass is due; what happens in a pass, and how presses, holds
// and keys act on it, is the bench window's: a left press held down repeats
// where its area asks (counted in passes), keys set the airspeed, T flies a
// take-off. Nothing here knows about the browser.
#ifndef LUMIVANE_WEB_PAGEPASS_H
#define LUMIVANE_WEB_PAGEPASS_H

#include "bench/flying/HeldPress.h"
#include "bench/flying/LoggedSpeeds.h"
#include "bench/flying/Pass.h"
#include "bench/hosting/GaugeHost.h"
#include "bench/pictures/PassPainter.h"

#include <stdint.h>
#include <string>
#include <vector>

// What the page's keys and airspeed buttons ask for.
enum class AirspeedKey { Up, Down, PageUp, PageDown, Home, TakeOff };

// A clip the gauge started, in the pass that started it.
struct StartedPlay {
    uint64_t Pass;
    const char* Clip; // "Wave1", "Wave2", or "unknown"
};

class PagePass {
public:
    static constexpr double Rate = 18; // passes a second, as the bench flies

    // Loads the linked module, puts the tap in front of its DirectSound, sends
    // its settings files into `settings` and installs it.
    bool Start(const std::string& settings, std::string* error);

    // One pass: the inputs since the last one, the held press's repeats, the
    // airspeed, the gauge's elements, the painting, the sound device's time.
    void Step();

    // Panel pixels; only the left button reaches here (the others do nothing).
    void Down(int x, int y);
    void Up();
    void Key(AirspeedKey key);

    // Kills the gauge and deletes its settings files. The module keeps the
    // speeds it read in its own data for as long as it stays loaded, as the
    // DLL does in the simulator, so the defaults come back only with a fresh
    // load of the module: the page loads itself again.
    void ResetSpeeds();

    // A cursor code of host/Records.h for panel pixel x, y (NoCursor outside
    // every area).
    int32_t CursorAt(int x, int y) const;

    // One pass with painting, `passes` times, without moving the page's time:
    // milliseconds a pass.
    double Measure(int passes);

    void* Module() const { return host_.ModuleHandle(); }
    const Image& Frame() const { return painter_.Frame(); }
    bool FrameChanged() const { return painter_.Changed(); }
    const std::string& Problem() const { return problem_; }
    uint64_t Passes() const { return pass_; }
    double Airspeed() const { return record_.Airspeed; }
    const PassRecord& Record() const { return record_; }
    // Plays started since the last TakePlays.
    std::vector<StartedPlay> TakePlays();
    // Whether the settings files may have changed since the last call.
    bool TakeFilesChanged();

private:
    struct Input {
        enum Kind { Down, Up, Airspeed, TakeOff } What;
        int X, Y;
        double Value;
    };
    void Install();
    void Run(MouseArea* area, int x, int y);
    void Gather();

    GaugeHost host_;
    PassPainter painter_;
    PassPainter measured_{true};
    std::string settings_;
    LoggedSpeeds speeds_{""};
    std::string problem_;
    PanelState panel_ = {};
    PassRecord record_;
    uint64_t pass_ = 0;
    std::vector<Input> inputs_;
    std::vector<StartedPlay> plays_;
    size_t seenEvents_ = 0;
    bool syncNeeded_ = false;
    HeldPress held_;

    // The airspeed and the keys' take-off, as the bench's window keeps them.
    double airspeed_ = 0;
    bool aimed_ = false;
    double aim_ = 0;
    bool takingOff_ = false;
    double takeOffStart_ = 0, takeOffTop_ = 0;
};

#endif
