// What the software DirectSound's files hold in common: the device, buffer and
// memory records, the lists that decide which pointers are ours, and the fault
// check every method makes before it acts. Only platform/SoftDirectSound*.cpp
// include it; everything else goes through platform/SoftDirectSound.h. No
// exceptions, no RTTI and no static constructors: the device is gauge code.
#ifndef LUMIVANE_PLATFORM_SOFTDIRECTSOUNDINTERNAL_H
#define LUMIVANE_PLATFORM_SOFTDIRECTSOUNDINTERNAL_H

#include "platform/SoftDirectSound.h"

#include <string.h>

namespace SoftDirectSoundInternal {

// Called once a call's arguments have been accepted, before it acts; true
// when the call must fail, with FaultResults[fault].Result.
bool Trips(SoftDirectSoundFault fault);

// The error a fault kind's failures give, one row a kind, in the kinds' order.
struct FaultResult {
    SoftDirectSoundFault Fault;
    HRESULT Result;
};
extern const FaultResult FaultResults[SoftFaultCount];

// What SoftDirectSoundSplitLocks gave for devices not yet made.
extern DWORD NewDeviceSplitLimit;

// IUnknown's published identity, which both interfaces answer to.
extern const GUID IidUnknown;

inline bool SameGuid(const GUID& a, const GUID& b)
{
    return memcmp(&a, &b, sizeof(GUID)) == 0;
}

class SoftDevice;
class SoftBuffer;

// Audio memory, shared by a buffer and its duplicates. At most one lock is
// outstanding; the lock hands out a staging copy that Unlock writes back, so
// a caller that forgets to unlock is heard to have written nothing.
struct SoftMemory {
    BYTE* bytes;
    DWORD size;
    int owners;
    BYTE* staging;
    SoftBuffer* locker;
    DWORD lockOffset;
    DWORD lockBytes1;
    DWORD lockBytes2;
};

void DiscardLock(SoftMemory* memory);

// Every device and buffer of this module, so that a leak is countable and a
// pointer that is not ours is told apart without touching it.
extern SoftDevice* DeviceList;
extern SoftBuffer* BufferList;

class SoftBuffer final : public IDirectSoundBuffer {
public:
    ULONG references = 1;
    SoftDevice* device = nullptr;
    SoftMemory* memory = nullptr;
    WAVEFORMATEX format = {};
    DWORD flags = 0;
    DWORD frequency = 0;  // 0: the format's own rate
    LONG volume = 0;
    LONG pan = 0;
    uint32_t gain = 65536;  // volume as a 16.16 factor
    bool playing = false;
    bool looping = false;
    bool lost = false;
    DWORD frame = 0;  // play cursor, in frames
    DWORD phase = 0;  // resampler remainder, in output ticks
    SoftBuffer* next = nullptr;

    DWORD Frames() const { return memory->size / format.nBlockAlign; }
    int32_t Sample() const;
    void Step();
    void Destroy();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS caps) override;
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override;
    HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX out, DWORD allocated, LPDWORD written) override;
    HRESULT STDMETHODCALLTYPE GetVolume(LPLONG out) override;
    HRESULT STDMETHODCALLTYPE GetPan(LPLONG out) override;
    HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD out) override;
    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND owner, LPCDSBUFFERDESC description) override;
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* region1, LPDWORD bytes1,
        LPVOID* region2, LPDWORD bytes2, DWORD lockFlags) override;
    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD playFlags) override;
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override;
    HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX newFormat) override;
    HRESULT STDMETHODCALLTYPE SetVolume(LONG value) override;
    HRESULT STDMETHODCALLTYPE SetPan(LONG value) override;
    HRESULT STDMETHODCALLTYPE SetFrequency(DWORD value) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2) override;
    HRESULT STDMETHODCALLTYPE Restore() override;
};

class SoftDevice final : public IDirectSound {
public:
    ULONG references = 1;
    // Buffers still alive: a released device stays allocated, silent, until
    // they are gone, so a buffer never points at freed memory.
    int buffers = 0;
    bool released = false;
    DWORD level = 0;
    HWND window = nullptr;
    DWORD speakerConfig = DSSPEAKER_MONO;  // the track is mono
    DWORD splitLimit = 0;
    uint64_t clock = 0;
    int16_t* track = nullptr;
    DWORD trackSamples = 0;
    DWORD trackCapacity = 0;
    SoftDevice* next = nullptr;

    void Append(int16_t sample);
    void DestroyIfUnused();
    SoftBuffer* NewBuffer();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
        IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS caps) override;
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
        LPLPDIRECTSOUNDBUFFER duplicate) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND hwnd, DWORD newLevel) override;
    HRESULT STDMETHODCALLTYPE Compact() override;
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD config) override;
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD config) override;
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID guid) override;
};

// Only pointers that are in our lists are treated as ours, so a test may pass
// any interface and get a plain "not ours" back.
SoftDevice* FindDevice(LPDIRECTSOUND device);
SoftBuffer* FindBuffer(LPDIRECTSOUNDBUFFER buffer);

} // namespace SoftDirectSoundInternal

#endif
