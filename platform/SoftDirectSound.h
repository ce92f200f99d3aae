// A DirectSound device of our own, in software: the sound device of the native
// build, and a device the tests of both builds can drive and look into. It
// keeps no time of its own: nothing plays until the caller advances its clock,
// and what plays is mixed into an 11025 Hz mono track the caller reads back.
// Faults are injected through one table, named per operation.
#ifndef LUMIVANE_PLATFORM_SOFTDIRECTSOUND_H
#define LUMIVANE_PLATFORM_SOFTDIRECTSOUND_H

#include "platform/Platform.h"

#include <stdint.h>

// The output track's rate: one tick of the clock is one sample of it.
#define SOFT_DIRECTSOUND_RATE 11025

// A device like the default one DirectSoundCreate gives, with the same
// arguments and results: no device GUID, no outer object.
HRESULT SoftDirectSoundCreate(LPCGUID deviceGuid, LPDIRECTSOUND* device, LPUNKNOWN outer);

// The clock. Advancing mixes that many samples of every playing buffer into
// the track; a one-shot buffer stops by itself on the tick that plays its
// last frame. Milliseconds are rounded down to whole samples.
void SoftDirectSoundAdvance(LPDIRECTSOUND device, DWORD samples);
void SoftDirectSoundAdvanceMilliseconds(LPDIRECTSOUND device, DWORD milliseconds);
uint64_t SoftDirectSoundClock(LPDIRECTSOUND device);

// The mix so far, one signed 16-bit sample per tick; null when the device is
// not ours. A program that wants it as a file writes it with its own writer.
const int16_t* SoftDirectSoundTrack(LPDIRECTSOUND device, DWORD* samples);
void SoftDirectSoundClearTrack(LPDIRECTSOUND device);

// Faults, one switch per operation. The next `passes` calls of that operation
// succeed, then the following `failures` calls fail (SOFT_FAULT_ALWAYS: every
// later one) with the operation's usual error. Calls refused for their
// arguments neither count nor consume a fault. Losing a buffer is not a switch
// but an event: SoftDirectSoundLoseBuffer.
enum SoftDirectSoundFault {
    SoftFaultCreateDevice,       // SoftDirectSoundCreate: DSERR_NODRIVER
    SoftFaultCooperativeLevel,   // SetCooperativeLevel: DSERR_ALLOCATED
    SoftFaultCreateBuffer,       // CreateSoundBuffer: DSERR_OUTOFMEMORY
    SoftFaultDuplicate,          // DuplicateSoundBuffer: DSERR_OUTOFMEMORY
    SoftFaultLock,               // Lock: DSERR_INVALIDCALL
    SoftFaultRestore,            // Restore: DSERR_BUFFERLOST
    SoftFaultPlay,               // Play: DSERR_GENERIC
    SoftFaultGetStatus,          // GetStatus: DSERR_GENERIC
    SoftFaultCount
};
#define SOFT_FAULT_ALWAYS (-1)
void SoftDirectSoundInjectFault(SoftDirectSoundFault fault, int passes, int failures);
void SoftDirectSoundClearFaults(void);
// How many calls the switch has failed since it was last set.
int SoftDirectSoundFaultsHit(SoftDirectSoundFault fault);

// Takes the buffer's memory away, as a device does when another program
// takes the hardware: the buffer stops, reports DSBSTATUS_BUFFERLOST, refuses
// Lock and Play until restored, and its contents (shared with its duplicates)
// are garbage until written again. 1 when the buffer is ours.
int SoftDirectSoundLoseBuffer(LPDIRECTSOUNDBUFFER buffer);

// Makes Lock hand out at most `firstRegionBytes` in the first region and the
// rest in the second, as a device with split memory does; 0 restores whole
// first regions. A null device sets it for every device made from then on
// (until SoftDirectSoundClearFaults), for code that makes its own device and
// fills its buffers at once.
void SoftDirectSoundSplitLocks(LPDIRECTSOUND device, DWORD firstRegionBytes);

// Introspection. References counts the interface's own references (0 once it
// is gone or when it is not ours); the live counts are over every device and
// buffer of this module, so that a test can see a leak directly.
ULONG SoftDirectSoundReferences(LPUNKNOWN object);
int SoftDirectSoundLiveDevices(void);
int SoftDirectSoundLiveBuffers(void);
int SoftDirectSoundDeviceBuffers(LPDIRECTSOUND device);
// 1 when both buffers are ours and play the same memory.
int SoftDirectSoundSharesMemory(LPDIRECTSOUNDBUFFER first, LPDIRECTSOUNDBUFFER second);
// The level of the last successful SetCooperativeLevel, 0 before one.
DWORD SoftDirectSoundCooperativeLevel(LPDIRECTSOUND device);

#endif
