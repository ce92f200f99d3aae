// A small module carrying the sound objects and the clips, as the gauge file
// does, for the test that loads it under two file names (windows build only).
// It reports what LoadSounds found and gives everything back before it
// returns, so the loading program never sees a device.
#include "sound/SoundObjects.h"

// The base of this module's own image, provided by the MinGW linker.
extern "C" IMAGE_DOS_HEADER __ImageBase;

// Bit 0: a device was made; bits 1 and 2: "Wave1" and "Wave2" got objects;
// bit 3: the resources were searched in this module itself.
extern "C" __declspec(dllexport) int ProbeLoadSounds(void)
{
    LoadSounds(SoundList);
    int found = 0;
    if (SoundDevice)
        found |= 1;
    if (Wave1Sound.Object)
        found |= 2;
    if (Wave2Sound.Object)
        found |= 4;
    if (ResourceModule == reinterpret_cast<HMODULE>(&__ImageBase))
        found |= 8;
    ReleaseSounds(SoundList);
    return found;
}
