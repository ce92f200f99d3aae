// The web page's backend of the bench's pass: the bench's own run, flown one
// pass at a time as the page's clock says a pass is due (ScenarioRun), with
// the gauge hosted as the bench hosts it, its sound through the bench's tap
// and software DirectSound, and its panel painted by the bench's PassPainter.
// A person's presses and keys act on it as on the bench's window (HandInput):
// a left press held down repeats where its area asks (counted in passes),
// the keys select and adjust the speeds, set the airspeed or fly a take-off.
// What the panel shows and the speeds beside it come from the one reading of
// the panel, the run's reader (bench/lumivane/LumivaneReader.h). Nothing here
// knows about the browser.
#ifndef LUMIVANE_WEB_PAGEPASS_H
#define LUMIVANE_WEB_PAGEPASS_H

#include "bench/flying/HandInput.h"
#include "bench/flying/Run.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/pictures/PassPainter.h"

#include <stdint.h>
#include <memory>
#include <string>
#include <vector>

class PagePass {
public:
    static constexpr double Rate = GaugeHost::PassesPerSecond; // as the bench flies

    // Loads the linked module, puts the tap in front of its DirectSound, sends
    // its settings files into `settings` and installs it.
    bool Start(const std::string& settings, std::string* error);

    // One pass: the inputs since the last one, the held press's repeats, the
    // airspeed, the gauge's elements, the painting, the sound device's time.
    void Step();

    // Panel pixels; only the left button reaches here (the others do nothing).
    void Down(int x, int y) { hands_.Down(x, y); }
    void Up() { hands_.Up(); }
    void KeyDown(HandKey key, bool repeat) { hands_.KeyDown(key, repeat); }
    void KeyUp(HandKey key) { hands_.KeyUp(key); }

    // Kills the gauge and deletes its settings files. The module keeps the
    // speeds it read in its own data for as long as it stays loaded, as the
    // DLL does in the simulator, so the defaults come back only with a fresh
    // load of the module: the page loads itself again.
    void ResetSpeeds();

    // A cursor code of host/Records.h for panel pixel x, y (NoCursor outside
    // every area).
    int32_t CursorAt(int x, int y) const;
    // Writes `speeds` (Speed1 first) as the settings files of `folder`, the
    // page's settings folder before the gauge is started; false when one
    // cannot be written.
    static bool SetSpeeds(const std::string& folder, const int32_t speeds[PanelSpeeds]);

    // One pass with painting, `passes` times, without moving the page's time:
    // milliseconds a pass; -1 when the passes drew fewer or more elements
    // than the page shows, as then they timed another panel.
    double Measure(int passes);

    // The gauge's size in its own pixels, as the host took it from the
    // module; 0 before Start.
    int PanelWidth() const { return run_ ? run_->Host().Width() : 0; }
    int PanelHeight() const { return run_ ? run_->Host().Height() : 0; }
    // The gauge in its reader's words.
    const GaugeDescription& Description() const { return reader_.Description(); }

    const Image& Frame() const { return painter_.Frame(); }
    bool FrameChanged() const { return painter_.Changed(); }
    const std::string& Problem() const { return problem_; }
    double Airspeed() const { return record_.Airspeed; }
    // The last pass's record, whose results are the page's copy, and what
    // the panel's reader made of it.
    const PassRecord& Record() const { return record_; }
    const PanelReading& Reading() const { return reader_.Reading(); }
    // The plays started since the last TakePlays, in order: each clip
    // ("Wave1", "Wave2", or "unknown") and the call-out it is, in words.
    struct Play {
        const char* Clip;
        std::string Callout;
    };
    std::vector<Play> TakePlays();
    // Whether the settings files may have changed since the last call.
    bool TakeFilesChanged();

private:
    void AfterPass(const PassRecord& pass);

    Scenario endless_;
    RunSummary summary_;
    std::unique_ptr<ScenarioRun> run_;
    LumivaneReader reader_;
    HandInput hands_;
    PassPainter painter_;
    PassPainter measured_{true};
    std::string settings_;
    std::string problem_;
    PassResults results_;
    PassRecord record_;
    std::vector<Play> plays_;
    bool syncNeeded_ = false;
};

#endif
