// Formats the selected speed into the text buffer the host gives the readout
// element. The buffer holds three characters and the zero, so nothing wider
// than "%3d" of -99..999 is ever written into it.
//
// The host evaluates the readout at every pass, and the text is nearly always
// the one already there. So the readout remembers the last speed it formatted
// and the text that gave, and formats again only when the speed differs or
// the buffer does not hold that text: the host may have written over it or
// handed over another buffer. Where the buffer already holds the text, the
// write would change no byte, whichever buffer it is. The host sees the same
// bytes after every call as if the text were formatted each time; only the
// cost of wsprintfA, most of a pass, is saved.
#include "settings/Readout.h"

#include "platform/Platform.h"
#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"

#include <stdint.h>
#include <string.h>

namespace {

// Every readout text takes four bytes, three characters and the zero, read
// and compared here as one word. The host's buffer need not be aligned.
uint32_t TextWord(const char* text)
{
    uint32_t word;
    memcpy(&word, text, sizeof word);
    return word;
}

// The last speed formatted and the text it gave. They start as a true pair,
// 0 and its text, so that the first call can rely on them like any other.
int32_t WrittenSpeed = 0;
char WrittenText[4] = "  0";

void WriteReadout(char* text, int32_t speed)
{
    if (speed == WrittenSpeed && TextWord(text) == TextWord(WrittenText))
        return;
    // Only a number from a settings file can need a fourth character; the
    // readout then shows that it cannot show it instead of overrunning.
    if (speed < -99 || speed > 999)
        wsprintfA(text, "***");
    else
        wsprintfA(text, "%3d", speed);
    WrittenSpeed = speed;
    memcpy(WrittenText, text, sizeof WrittenText);
}

} // namespace

double FillReadout(char* text, double value)
{
    double result = value;
    if (!SettingsLoaded && !LoadSettings())
        result = 1.0;
    // The readout is written even before every settings file exists, so that a
    // fresh installation, or one where C:\ is not writable, is never blank.
    if (text)
        WriteReadout(text, *SelectedSpeedValue());
    return result;
}
