// Formats the selected speed into the text buffer the host gives the readout
// element. The buffer holds three characters and the zero, so nothing wider
// than "%3d" of -99..999 is ever written into it.
#include "settings/Readout.h"

#include "platform/Platform.h"
#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"

namespace {

void WriteReadout(char* text, int32_t speed)
{
    // Only a number from a settings file can need a fourth character; the
    // readout then shows that it cannot show it instead of overrunning.
    if (speed < -99 || speed > 999) {
        wsprintfA(text, "***");
        return;
    }
    wsprintfA(text, "%3d", speed);
}

} // namespace

double GAUGE_STDCALL ReadoutCallback(double value)
{
    double result = value;
    if (!SettingsLoaded && !LoadSettings())
        result = 1.0;
    // The readout is written even before every settings file exists, so that a
    // fresh installation, or one where C:\ is not writable, is never blank.
    char* text = ReadoutElement.TextBuffer;
    if (text)
        WriteReadout(text, *SelectedSpeedValue());
    return result;
}
