// Listens in on a loaded gauge's DirectSound, the way a debugging host can:
// the module's import of DirectSoundCreate is pointed at a wrapper that hands
// out the real device behind a recording proxy. Every buffer it creates, every
// status query and every play then reaches the host's log, and the audio still
// goes to the real device.
#ifndef LUMIVANE_TESTS_MODULE_SOUNDTAP_H
#define LUMIVANE_TESTS_MODULE_SOUNDTAP_H

#include <windows.h>

#include <stdint.h>
#include <vector>

struct SoundEvent {
    enum Kind { DeviceCreated, DeviceRefused, BufferCreated, Duplicated, Busy, Played, Released } What;
    int Buffer;      // creation order, from 0; -1 for the device
    uint32_t Bytes;  // the buffer's length
    int Beeps;       // bursts of sound in what the gauge wrote into it
    uint32_t Flags;  // of a play
    long Result;     // of the call
};

// Points the module's DirectSoundCreate at the tap; false when the module
// does not import it. Call after LoadLibrary and before install.
bool TapDirectSound(HMODULE module);

const std::vector<SoundEvent>& SoundEvents();
void ClearSoundEvents();

// Bursts of non-silent 8-bit samples separated by at least 20 ms of silence.
int CountBeeps(const uint8_t* samples, uint32_t count);

#endif
