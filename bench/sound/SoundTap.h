// Listens in on a loaded gauge's DirectSound, the way a debugging host can:
// the module's DirectSoundCreate is pointed at a wrapper that hands out the
// device behind a recording proxy. Every buffer it creates, every status
// query and every play reach the bench's log, and the audio still goes to
// the device. Under Wine the wrapper is put into the module's import slot
// (bench/ImportHooks.h), in front of Wine's DirectSound or, for runs faster
// than real time, of the software device linked into the bench; the native
// module imports DirectSoundCreate from the bench program itself, which
// always hands out the software device.
//
// Which clip a play starts is known by what the gauge wrote into the buffer
// (bench/sound/ClipMatcher.h); a duplicate inherits its source's clip. What
// the software device plays is gathered in the heard track
// (bench/sound/HeardTrack.h).
#ifndef LUMIVANE_BENCH_SOUNDTAP_H
#define LUMIVANE_BENCH_SOUNDTAP_H

#include "bench/sound/ClipMatcher.h"
#include "bench/sound/HeardTrack.h"
#include "bench/sound/ModuleClips.h"
#include "platform/Platform.h"

#include <stdint.h>
#include <vector>

struct SoundEvent {
    enum Kind { DeviceCreated, DeviceRefused, CooperativeLevel, BufferCreated, Duplicated, Busy, Played, Released } What;
    int Buffer;       // creation order, from 0; -1 for the device
    uint32_t Bytes;   // the buffer's length
    int Beeps;        // bursts of sound in what the gauge wrote into it
    uint32_t Flags;   // of a play; the level asked for
    long Result;      // of the call
    const char* Clip; // the module's clip the buffer holds, by its name, or null
    uintptr_t Window; // the window a cooperative level is set for
    uint64_t Order;   // on the count of bench/hosting/CallOrder.h
};

// Puts the tap in front of the module's DirectSound: under Wine by patching
// its import of DirectSoundCreate (false when it has none), with
// `softSound` in front of the software device instead of Wine's; natively
// the bench's own DirectSoundCreate always leads to the tap and the software
// device. Call after loading and before install. Also learns the module's
// clips that `clips` names (bench/sound/ModuleClips.h), so that a play is
// named by its clip; none: plays go unnamed.
bool TapDirectSound(void* module, bool softSound, const ModuleClipSource* clips, int clipCount);

// The tap's DirectSoundCreate.
HRESULT WINAPI TappedDirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer);

// What the tap asks for the device it stands in front of. TapDirectSound
// chooses it; a test may put a device of its own there, whose answers the
// tap must hand on unchanged.
typedef HRESULT(WINAPI* RealDirectSoundCreate)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
void TapInFrontOf(RealDirectSoundCreate create);

const std::vector<SoundEvent>& SoundEvents();
void ClearSoundEvents();

// The software device's time. The run advances it by each pass's period;
// the devices are only mixed while something sounds, so a silent pass costs
// nothing. What they play goes to the heard track at its place in that time.
void TapAdvance(uint32_t samples);
// Mixes what is still pending into the track.
void TapFlush();
// Samples advanced so far: the run's time at the software device's rate.
uint64_t TapClock();
// Empties the heard track and sets the clock back to 0.
void ClearHeardTrack();

#endif
