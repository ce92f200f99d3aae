// The steps of a pass follow the gauge's own order: the handlers ran before
// it, then the lamps were evaluated, then the marks, then the readout, whose
// first formatted pass is the load of the settings files.
#include "bench/lumivane/LumivaneReader.h"

#include "bench/flying/Run.h"
#include "bench/lumivane/Sentences.h"
#include "bench/lumivane/SettingsScan.h"

bool LumivaneReader::Start(const RunOptions& options, const Scenario& scenario, std::string* error)
{
    if (!LayOutSettings(options.Settings, scenario.Settings, error))
        return false;
    ModuleLoaded(options.Settings);
    return true;
}

const GaugeDescription& LumivaneReader::Description() const
{
    return LumivaneDescription();
}

// A setup's file counts into the description's settings words, which are
// the speeds' in order.
bool LumivaneReader::LayOutSettings(const std::string& folder, const std::vector<SettingsSetup>& settings,
    std::string* error) const
{
    for (const SettingsSetup& setup : settings) {
        const int speed = setup.File + 1;
        if (speed < 1 || speed > PanelSpeeds) {
            *error = "no such settings file";
            return false;
        }
        if (!setup.Present) {
            RemoveSettingsFile(folder, speed);
        } else if (!WriteSettingsFile(folder, speed, setup.Content)) {
            *error = "cannot write the settings file " + SettingsFilePath(folder, speed);
            return false;
        }
    }
    return true;
}

void LumivaneReader::ModuleLoaded(const std::string& sandbox)
{
    // Lumivane's once a pass shows the chain.
    reading_ = PanelReading();
    speeds_.ModuleLoaded(sandbox, &reading_);
    stages_.ModuleLoaded();
}

void LumivaneReader::HandlerRan(const MouseArea* areas, int number)
{
    speeds_.HandlerRan(AreaControl(areas, number), &reading_);
}

void LumivaneReader::Pass(const PassRecord& pass)
{
    Passed(pass.Results, pass.Airspeed, pass.Plays, pass.PlayCount);
}

void LumivaneReader::Passed(const PassResults* results, double airspeed, const char* const* plays, int playCount)
{
    reading_.CalloutCount = 0;
    reading_.Display = ReadDisplay(results);
    // Killed, the gauge evaluates nothing and keeps what it holds.
    if (!results)
        return;
    reading_.Lumivane = reading_.Display.Lumivane;
    if (!reading_.Lumivane) {
        KnownSpeeds::Forget(&reading_);
        return;
    }
    speeds_.AfterHandlers(&reading_);
    stages_.Follow(airspeed, plays, playCount, &reading_);
    speeds_.AfterReadout(&reading_);
    if (reading_.SpeedKnown[PanelSpeeds - 1])
        lastSpeed3_ = reading_.Speeds[PanelSpeeds - 1];
}

std::string LumivaneReader::State() const
{
    return SelectionSentence(reading_);
}

std::string LumivaneReader::Event() const
{
    return reading_.CalloutCount > 0 ? CalloutSentence(reading_.Callouts[reading_.CalloutCount - 1]) : std::string();
}

// What the display means, and the speeds as far as they are known; null for
// another gauge's panel (and the display's while the gauge is killed).
void LumivaneReader::AddToLog(LogFields& line) const
{
    const PanelDisplay& display = reading_.Display;
    if (display.Lumivane) {
        line.Flags("lamps", display.Lamps, PanelSpeeds);
        line.Flags("marks", display.Marks, PanelSpeeds);
        line.Text("readout", display.Readout);
    } else {
        line.Null("lamps");
        line.Null("marks");
        line.Null("readout");
    }
    if (reading_.Lumivane)
        line.Numbers("speeds", reading_.Speeds, reading_.SpeedKnown, PanelSpeeds);
    else
        line.Null("speeds");
}

bool LumivaneReader::ControlPoint(const MouseArea* areas, PanelControl control, int* x, int* y) const
{
    return ControlMiddle(areas, control, x, y);
}

double LumivaneReader::TakeOffTop() const
{
    return lastSpeed3_ + TakeOffBeyondSpeed3;
}

double LumivaneReader::TakeOffSeconds() const
{
    return ::TakeOffSeconds;
}
