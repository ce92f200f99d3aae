// What the tap's files share: the proxies every build has (SoundTap.cpp), the
// software clock (SoundTapClock.cpp) and each build's way in front of a
// module (SoundTapWindows.cpp, SoundTapNative.cpp). Only bench/sound/SoundTap*.cpp
// include it.
#ifndef LUMIVANE_BENCH_SOUND_SOUNDTAPPARTS_H
#define LUMIVANE_BENCH_SOUND_SOUNDTAPPARTS_H

#include "bench/sound/SoundTap.h"

#include <stdint.h>

// The software DirectSound with DirectSoundCreate's calling convention.
HRESULT WINAPI TapSoftCreate(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer);

// The device the tap stands in front of before TapDirectSound chooses one:
// each build's own.
RealDirectSoundCreate TapFirstDevice();
// Puts the tap in front of the module's DirectSound in this build's way
// (TapDirectSound says what that is); false when it cannot.
bool OpenTapWay(void* module, bool softSound);

// Mixes the software devices that have something playing into the heard
// track at `at`, for `samples`; whether anything still plays after.
bool TapMixDevices(uint64_t at, uint32_t samples);
// A buffer of a software device has started to play: the clock mixes again.
void TapSounding();

#endif
