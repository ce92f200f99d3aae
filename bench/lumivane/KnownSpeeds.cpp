// Within a pass the lamps are evaluated before the readout, so a load in
// that pass changes the speeds only after the lamps have judged the
// airspeed: the reader calls AfterHandlers, follows the call-outs, then
// calls AfterReadout.
#include "bench/lumivane/KnownSpeeds.h"

#include "bench/lumivane/SettingsScan.h"

void KnownSpeeds::ModuleLoaded(const std::string& sandbox, PanelReading* reading)
{
    sandbox_ = sandbox;
    for (int s = 0; s < PanelSpeeds; ++s) {
        reading->SpeedKnown[s] = true;
        reading->Speeds[s] = StartingSpeeds[s];
        adjusted_[s] = false;
    }
    reading->Loaded = false;
    selected_ = StartingSelection;
    selectedKnown_ = true;
}

void KnownSpeeds::Forget(PanelReading* reading)
{
    for (int s = 0; s < PanelSpeeds; ++s)
        reading->SpeedKnown[s] = false;
}

void KnownSpeeds::HandlerRan(PanelControl control, PanelReading* reading)
{
    switch (control) {
    case PanelControl::Selector1:
    case PanelControl::Selector2:
    case PanelControl::Selector3:
        selected_ = control == PanelControl::Selector1 ? 0 : control == PanelControl::Selector2 ? 1 : 2;
        selectedKnown_ = true;
        break;
    case PanelControl::Decrease:
    case PanelControl::Increase:
        // The adjust writes the selected speed's file as it leaves memory.
        if (selectedKnown_)
            adjusted_[selected_] = true;
        else
            Forget(reading);
        break;
    case PanelControl::None:
        break;
    }
}

void KnownSpeeds::ReadFile(int speed, bool keepWithoutNumber, bool* opened, PanelReading* reading)
{
    int32_t value = 0;
    const SettingsNumber number = ScanSettingsFile(SettingsFilePath(sandbox_, speed), &value);
    *opened = number != SettingsNumber::Unopened;
    bool& known = reading->SpeedKnown[speed - 1];
    if (number == SettingsNumber::Number) {
        known = true;
        reading->Speeds[speed - 1] = value;
    } else if (number == SettingsNumber::TooLong || !keepWithoutNumber) {
        known = false;
    }
}

void KnownSpeeds::AfterHandlers(PanelReading* reading)
{
    // The marks are evaluated after every handler of the pass.
    const PanelDisplay& display = reading->Display;
    if (display.Selected >= 0) {
        selected_ = display.Selected;
        selectedKnown_ = true;
    }
    bool opened = false;
    for (int s = 0; s < PanelSpeeds; ++s) {
        if (adjusted_[s])
            ReadFile(s + 1, false, &opened, reading);
        adjusted_[s] = false;
    }
}

void KnownSpeeds::AfterReadout(PanelReading* reading)
{
    const PanelDisplay& display = reading->Display;
    bool opened = false;
    if (!reading->Loaded) {
        if (display.Formatted) {
            // Every file was opened and read in this pass.
            for (int speed : SettingsReadOrder) {
                ReadFile(speed, true, &opened, reading);
                if (!opened)
                    reading->SpeedKnown[speed - 1] = false;
            }
            reading->Loaded = true;
        } else if (display.LoadStopped) {
            // The load stopped at the first file that would not open.
            for (int speed : SettingsReadOrder) {
                ReadFile(speed, true, &opened, reading);
                if (!opened)
                    break;
            }
        } else {
            Forget(reading);
        }
    }
    int32_t shown = 0;
    if (display.Formatted && selectedKnown_ && ReadoutNumber(display.Readout, &shown)) {
        // The readout is what the gauge holds; a reading that disagrees with
        // it has lost the gauge's steps, and knows only what it shows.
        if (reading->SpeedKnown[selected_] && reading->Speeds[selected_] != shown)
            Forget(reading);
        reading->SpeedKnown[selected_] = true;
        reading->Speeds[selected_] = shown;
    }
}
