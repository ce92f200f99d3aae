// The software DirectSound: a device and its secondary buffers, mixed into an
// 11025 Hz mono track only when the caller advances the clock, so a test
// knows to the sample what is playing. Every method checks its arguments and
// its fault switch before it changes anything: a call that fails leaves no
// trace. No exceptions, no RTTI and no static constructors, since the native
// gauge links this file as its sound device.
#include "platform/SoftDirectSound.h"

#include <math.h>
#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

// ---------------------------------------------------------------------------
// Fault switches: the one place where a test makes an operation fail.

struct FaultSwitch {
    int passes;
    int failures;
    int hits;
};

FaultSwitch Faults[SoftFaultCount];

// What SoftDirectSoundSplitLocks gave for devices not yet made: a device the
// code under test creates itself and fills at once can split from the start.
DWORD NewDeviceSplitLimit = 0;

// The error each switch produces: the one the real device gives for the
// nearest real cause (no driver, device taken, memory exhausted, ...).
const HRESULT FaultResults[SoftFaultCount] = {
    DSERR_NODRIVER,     // SoftFaultCreateDevice
    DSERR_ALLOCATED,    // SoftFaultCooperativeLevel
    DSERR_OUTOFMEMORY,  // SoftFaultCreateBuffer
    DSERR_OUTOFMEMORY,  // SoftFaultDuplicate
    DSERR_INVALIDCALL,  // SoftFaultLock
    DSERR_BUFFERLOST,   // SoftFaultRestore
    DSERR_GENERIC,      // SoftFaultPlay
    DSERR_GENERIC,      // SoftFaultGetStatus
};

// Called once a call's arguments have been accepted, before it acts.
bool Trips(SoftDirectSoundFault fault)
{
    FaultSwitch& s = Faults[fault];
    if (s.failures == 0)
        return false;
    if (s.passes > 0) {
        --s.passes;
        return false;
    }
    if (s.failures > 0)
        --s.failures;
    ++s.hits;
    return true;
}

// ---------------------------------------------------------------------------
// Interface identities, with their published values.

const GUID IidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID IidDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID IidDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID NullGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID DefaultPlayback = {0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};

bool SameGuid(const GUID& a, const GUID& b)
{
    return memcmp(&a, &b, sizeof(GUID)) == 0;
}

// Buffer description sizes the device accepts: the DirectSound 5 record and
// the DirectSound 7 one (with its 3D algorithm GUID) in the 32-bit layout, and
// this build's own record, whose pointer may be wider.
const DWORD DescriptionSize5 = 20;
const DWORD DescriptionSize7 = 36;


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

void DiscardLock(SoftMemory* memory)
{
    free(memory->staging);
    memory->staging = nullptr;
    memory->locker = nullptr;
    memory->lockOffset = memory->lockBytes1 = memory->lockBytes2 = 0;
}

SoftDevice* DeviceList;
SoftBuffer* BufferList;

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
SoftDevice* FindDevice(LPDIRECTSOUND device)
{
    for (SoftDevice* d = DeviceList; d; d = d->next)
        if (!d->released && static_cast<IDirectSound*>(d) == device)
            return d;
    return nullptr;
}

SoftBuffer* FindBuffer(LPDIRECTSOUNDBUFFER buffer)
{
    for (SoftBuffer* b = BufferList; b; b = b->next)
        if (static_cast<IDirectSoundBuffer*>(b) == buffer)
            return b;
    return nullptr;
}

// Reads the 16 bytes of the basic PCM record only: a RIFF "fmt " chunk of a
// PCM wave is 16 bytes long and has no cbSize field, so reading the whole
// 18-byte record would run past the chunk.
bool ReadFormat(const WAVEFORMATEX* source, WAVEFORMATEX* out)
{
    WAVEFORMATEX f = {};
    memcpy(&f, source, 16);
    f.cbSize = 0;
    if (f.wFormatTag != WAVE_FORMAT_PCM)
        return false;
    if (f.nChannels < 1 || f.nChannels > 2)
        return false;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return false;
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX)
        return false;
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
        return false;
    if (f.nAvgBytesPerSec != f.nSamplesPerSec * f.nBlockAlign)
        return false;
    *out = f;
    return true;
}

BYTE SilenceByte(const WAVEFORMATEX& f)
{
    // Eight-bit PCM is unsigned with its midpoint at 128; wider PCM is signed.
    return f.wBitsPerSample == 8 ? 128 : 0;
}

// ---------------------------------------------------------------------------
// Buffer

int32_t SoftBuffer::Sample() const
{
    const BYTE* at = memory->bytes + static_cast<size_t>(frame) * format.nBlockAlign;
    int32_t sum = 0;
    for (int channel = 0; channel < format.nChannels; ++channel) {
        if (format.wBitsPerSample == 8) {
            sum += (static_cast<int32_t>(at[channel]) - 128) * 256;
        } else {
            const BYTE* p = at + 2 * channel;
            sum += static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
        }
    }
    sum /= format.nChannels;
    return static_cast<int32_t>((static_cast<int64_t>(sum) * gain) >> 16);
}

// Moves the play cursor on by one output tick. A one-shot play ends on the
// tick that played its last frame and leaves the cursor at the start, so the
// next Play begins from there.
void SoftBuffer::Step()
{
    DWORD rate = frequency ? frequency : format.nSamplesPerSec;
    phase += rate;
    while (phase >= SOFT_DIRECTSOUND_RATE) {
        phase -= SOFT_DIRECTSOUND_RATE;
        if (++frame >= Frames()) {
            frame = 0;
            if (!looping) {
                playing = false;
                phase = 0;
                return;
            }
        }
    }
}

void SoftBuffer::Destroy()
{
    for (SoftBuffer** link = &BufferList; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
    if (memory->locker == this)
        DiscardLock(memory);
    if (--memory->owners == 0) {
        DiscardLock(memory);
        free(memory->bytes);
        delete memory;
    }
    SoftDevice* owner = device;
    delete this;
    --owner->buffers;
    owner->DestroyIfUnused();
}

HRESULT SoftBuffer::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (!SameGuid(riid, IidUnknown) && !SameGuid(riid, IidDirectSoundBuffer)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ++references;
    *object = static_cast<IDirectSoundBuffer*>(this);
    return S_OK;
}

ULONG SoftBuffer::AddRef()
{
    return ++references;
}

ULONG SoftBuffer::Release()
{
    ULONG left = --references;
    if (left == 0)
        Destroy();
    return left;
}

HRESULT SoftBuffer::GetCaps(LPDSBCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSBCAPS))
        return DSERR_INVALIDPARAM;
    caps->dwFlags = flags | DSBCAPS_LOCSOFTWARE;
    caps->dwBufferBytes = memory->size;
    caps->dwUnlockTransferRate = 0;
    caps->dwPlayCpuOverhead = 0;
    return DS_OK;
}

HRESULT SoftBuffer::GetCurrentPosition(LPDWORD play, LPDWORD write)
{
    // A software buffer is read a tick at a time, so the write cursor sits
    // right on the play cursor.
    DWORD position = frame * format.nBlockAlign;
    if (play)
        *play = position;
    if (write)
        *write = position;
    return DS_OK;
}

HRESULT SoftBuffer::GetFormat(LPWAVEFORMATEX out, DWORD allocated, LPDWORD written)
{
    if (!out && !written)
        return DSERR_INVALIDPARAM;
    if (out && allocated < sizeof(WAVEFORMATEX))
        return DSERR_INVALIDPARAM;
    if (out)
        memcpy(out, &format, sizeof(WAVEFORMATEX));
    if (written)
        *written = sizeof(WAVEFORMATEX);
    return DS_OK;
}

HRESULT SoftBuffer::GetVolume(LPLONG out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    *out = volume;
    return DS_OK;
}

HRESULT SoftBuffer::GetPan(LPLONG out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    *out = pan;
    return DS_OK;
}

HRESULT SoftBuffer::GetFrequency(LPDWORD out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    *out = frequency ? frequency : format.nSamplesPerSec;
    return DS_OK;
}

HRESULT SoftBuffer::GetStatus(LPDWORD status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    if (Trips(SoftFaultGetStatus))
        return FaultResults[SoftFaultGetStatus];
    DWORD value = 0;
    if (lost)
        value |= DSBSTATUS_BUFFERLOST;
    if (playing)
        value |= DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
    *status = value;
    return DS_OK;
}

HRESULT SoftBuffer::Initialize(LPDIRECTSOUND, LPCDSBUFFERDESC)
{
    return DSERR_ALREADYINITIALIZED;
}

HRESULT SoftBuffer::Lock(DWORD offset, DWORD bytes, LPVOID* region1, LPDWORD bytes1, LPVOID* region2,
    LPDWORD bytes2, DWORD lockFlags)
{
    if (!region1 || !bytes1)
        return DSERR_INVALIDPARAM;
    if (lockFlags & ~static_cast<DWORD>(DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER))
        return DSERR_INVALIDPARAM;
    DWORD size = memory->size;
    if (lockFlags & DSBLOCK_FROMWRITECURSOR)
        offset = frame * format.nBlockAlign;
    if (lockFlags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return DSERR_INVALIDPARAM;
    DWORD first = bytes < size - offset ? bytes : size - offset;
    if (device->splitLimit && first > device->splitLimit)
        first = device->splitLimit;
    DWORD second = bytes - first;
    if (second && (!region2 || !bytes2))
        return DSERR_INVALIDPARAM;
    if (lost)
        return DSERR_BUFFERLOST;
    if (memory->staging)
        return DSERR_INVALIDCALL;
    if (Trips(SoftFaultLock))
        return FaultResults[SoftFaultLock];
    BYTE* staging = static_cast<BYTE*>(malloc(bytes));
    if (!staging)
        return DSERR_OUTOFMEMORY;

    for (DWORD i = 0; i < bytes; ++i)
        staging[i] = memory->bytes[(offset + i) % size];
    memory->staging = staging;
    memory->locker = this;
    memory->lockOffset = offset;
    memory->lockBytes1 = first;
    memory->lockBytes2 = second;
    *region1 = staging;
    *bytes1 = first;
    if (region2)
        *region2 = second ? staging + first : nullptr;
    if (bytes2)
        *bytes2 = second;
    return DS_OK;
}

HRESULT SoftBuffer::Play(DWORD reserved, DWORD priority, DWORD playFlags)
{
    // Priorities and location flags belong to deferred-location buffers,
    // which this device does not make.
    if (reserved != 0 || priority != 0)
        return DSERR_INVALIDPARAM;
    if (playFlags & ~static_cast<DWORD>(DSBPLAY_LOOPING))
        return DSERR_INVALIDPARAM;
    if (device->released)
        return DSERR_UNINITIALIZED;
    if (device->level == 0)
        return DSERR_PRIOLEVELNEEDED;
    if (lost)
        return DSERR_BUFFERLOST;
    if (Trips(SoftFaultPlay))
        return FaultResults[SoftFaultPlay];
    playing = true;
    looping = (playFlags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT SoftBuffer::SetCurrentPosition(DWORD position)
{
    if (position >= memory->size)
        return DSERR_INVALIDPARAM;
    frame = position / format.nBlockAlign;
    phase = 0;
    return DS_OK;
}

HRESULT SoftBuffer::SetFormat(LPCWAVEFORMATEX)
{
    // Only a primary buffer takes a new format.
    return DSERR_INVALIDCALL;
}

HRESULT SoftBuffer::SetVolume(LONG value)
{
    if (!(flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (value < DSBVOLUME_MIN || value > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    volume = value;
    // Volume is attenuation in hundredths of a decibel.
    gain = static_cast<uint32_t>(65536.0 * pow(10.0, value / 2000.0) + 0.5);
    return DS_OK;
}

HRESULT SoftBuffer::SetPan(LONG value)
{
    // Kept and reported; a mono track has nothing to pan.
    if (!(flags & DSBCAPS_CTRLPAN))
        return DSERR_CONTROLUNAVAIL;
    if (value < DSBPAN_LEFT || value > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    pan = value;
    return DS_OK;
}

HRESULT SoftBuffer::SetFrequency(DWORD value)
{
    if (!(flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (value != DSBFREQUENCY_ORIGINAL && (value < DSBFREQUENCY_MIN || value > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    frequency = value;
    return DS_OK;
}

HRESULT SoftBuffer::Stop()
{
    playing = false;
    return DS_OK;
}

HRESULT SoftBuffer::Unlock(LPVOID region1, DWORD bytes1, LPVOID region2, DWORD bytes2)
{
    if (!memory->staging || memory->locker != this)
        return DSERR_INVALIDCALL;
    if (region1 != memory->staging || bytes1 > memory->lockBytes1)
        return DSERR_INVALIDPARAM;
    if (bytes2 && (region2 != memory->staging + memory->lockBytes1 || bytes2 > memory->lockBytes2))
        return DSERR_INVALIDPARAM;
    // Only the bytes the caller says it wrote are written back.
    DWORD size = memory->size;
    for (DWORD i = 0; i < bytes1; ++i)
        memory->bytes[(memory->lockOffset + i) % size] = memory->staging[i];
    for (DWORD i = 0; i < bytes2; ++i)
        memory->bytes[(memory->lockOffset + memory->lockBytes1 + i) % size] =
            memory->staging[memory->lockBytes1 + i];
    DiscardLock(memory);
    return DS_OK;
}

HRESULT SoftBuffer::Restore()
{
    if (Trips(SoftFaultRestore))
        return FaultResults[SoftFaultRestore];
    // The memory is back, but what it holds is whatever the loss left there.
    lost = false;
    return DS_OK;
}

// ---------------------------------------------------------------------------
// Device

void SoftDevice::Append(int16_t sample)
{
    if (trackSamples == trackCapacity) {
        DWORD grown = trackCapacity ? trackCapacity * 2 : SOFT_DIRECTSOUND_RATE;
        if (grown <= trackCapacity)
            return;
        void* larger = realloc(track, static_cast<size_t>(grown) * sizeof(int16_t));
        // Without memory the clock still runs; the track just stops growing.
        if (!larger)
            return;
        track = static_cast<int16_t*>(larger);
        trackCapacity = grown;
    }
    track[trackSamples++] = sample;
}

void SoftDevice::DestroyIfUnused()
{
    if (!released || buffers > 0)
        return;
    for (SoftDevice** link = &DeviceList; *link; link = &(*link)->next) {
        if (*link == this) {
            *link = next;
            break;
        }
    }
    free(track);
    delete this;
}

SoftBuffer* SoftDevice::NewBuffer()
{
    SoftBuffer* buffer = new (std::nothrow) SoftBuffer;
    if (!buffer)
        return nullptr;
    buffer->device = this;
    return buffer;
}

void Link(SoftBuffer* buffer)
{
    buffer->next = BufferList;
    BufferList = buffer;
    ++buffer->device->buffers;
}

HRESULT SoftDevice::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (!SameGuid(riid, IidUnknown) && !SameGuid(riid, IidDirectSound)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ++references;
    *object = static_cast<IDirectSound*>(this);
    return S_OK;
}

ULONG SoftDevice::AddRef()
{
    return ++references;
}

ULONG SoftDevice::Release()
{
    ULONG left = --references;
    if (left == 0) {
        released = true;
        DestroyIfUnused();
    }
    return left;
}

HRESULT SoftDevice::CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer, IUnknown* outer)
{
    if (!description || !buffer)
        return DSERR_INVALIDPARAM;
    if (outer)
        return DSERR_NOAGGREGATION;
    DWORD size = description->dwSize;
    if (size != DescriptionSize5 && size != DescriptionSize7 && size != sizeof(DSBUFFERDESC))
        return DSERR_INVALIDPARAM;
    // Only secondary buffers exist here; the device mixes them itself.
    if (description->dwFlags & (DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D))
        return DSERR_UNSUPPORTED;
    if (!description->lpwfxFormat)
        return DSERR_INVALIDPARAM;
    WAVEFORMATEX format;
    if (!ReadFormat(description->lpwfxFormat, &format))
        return DSERR_BADFORMAT;
    DWORD bytes = description->dwBufferBytes;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX || bytes % format.nBlockAlign != 0)
        return DSERR_INVALIDPARAM;
    if (Trips(SoftFaultCreateBuffer))
        return FaultResults[SoftFaultCreateBuffer];

    SoftMemory* memory = new (std::nothrow) SoftMemory();
    BYTE* audio = static_cast<BYTE*>(malloc(bytes));
    SoftBuffer* created = NewBuffer();
    if (!memory || !audio || !created) {
        delete memory;
        free(audio);
        delete created;
        return DSERR_OUTOFMEMORY;
    }
    memset(audio, SilenceByte(format), bytes);
    memory->bytes = audio;
    memory->size = bytes;
    memory->owners = 1;
    created->memory = memory;
    created->format = format;
    created->flags = description->dwFlags;
    Link(created);
    *buffer = created;
    return DS_OK;
}

HRESULT SoftDevice::GetCaps(LPDSCAPS caps)
{
    if (!caps || caps->dwSize != sizeof(DSCAPS))
        return DSERR_INVALIDPARAM;
    memset(caps, 0, sizeof(DSCAPS));
    caps->dwSize = sizeof(DSCAPS);
    caps->dwFlags = DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
        DSCAPS_SECONDARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER;
    caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
    caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
    caps->dwPrimaryBuffers = 1;
    return DS_OK;
}

HRESULT SoftDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER duplicate)
{
    if (!original || !duplicate)
        return DSERR_INVALIDPARAM;
    SoftBuffer* source = FindBuffer(original);
    if (!source || source->device != this)
        return DSERR_INVALIDPARAM;
    if (Trips(SoftFaultDuplicate))
        return FaultResults[SoftFaultDuplicate];
    SoftBuffer* created = NewBuffer();
    if (!created)
        return DSERR_OUTOFMEMORY;
    // A duplicate shares the memory and copies the settings, but has its own
    // cursor and starts stopped.
    created->memory = source->memory;
    ++source->memory->owners;
    created->format = source->format;
    created->flags = source->flags;
    created->frequency = source->frequency;
    created->volume = source->volume;
    created->pan = source->pan;
    created->gain = source->gain;
    Link(created);
    *duplicate = created;
    return DS_OK;
}

HRESULT SoftDevice::SetCooperativeLevel(HWND hwnd, DWORD newLevel)
{
    // Any window, a null one included, is accepted, as Wine's device does:
    // there is no focus to follow here.
    if (newLevel < DSSCL_NORMAL || newLevel > DSSCL_WRITEPRIMARY)
        return DSERR_INVALIDPARAM;
    if (Trips(SoftFaultCooperativeLevel))
        return FaultResults[SoftFaultCooperativeLevel];
    window = hwnd;
    level = newLevel;
    return DS_OK;
}

HRESULT SoftDevice::Compact()
{
    return level >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED;
}

HRESULT SoftDevice::GetSpeakerConfig(LPDWORD config)
{
    if (!config)
        return DSERR_INVALIDPARAM;
    *config = speakerConfig;
    return DS_OK;
}

HRESULT SoftDevice::SetSpeakerConfig(DWORD config)
{
    speakerConfig = config;
    return DS_OK;
}

HRESULT SoftDevice::Initialize(LPCGUID)
{
    return DSERR_ALREADYINITIALIZED;
}

} // namespace

// ---------------------------------------------------------------------------
// The test and bench interface

HRESULT SoftDirectSoundCreate(LPCGUID deviceGuid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    if (!device)
        return DSERR_INVALIDPARAM;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (deviceGuid && !SameGuid(*deviceGuid, NullGuid) && !SameGuid(*deviceGuid, DefaultPlayback))
        return DSERR_NODRIVER;
    if (Trips(SoftFaultCreateDevice))
        return FaultResults[SoftFaultCreateDevice];
    SoftDevice* created = new (std::nothrow) SoftDevice;
    if (!created)
        return DSERR_OUTOFMEMORY;
    created->splitLimit = NewDeviceSplitLimit;
    created->next = DeviceList;
    DeviceList = created;
    *device = created;
    return DS_OK;
}

void SoftDirectSoundAdvance(LPDIRECTSOUND device, DWORD samples)
{
    SoftDevice* d = FindDevice(device);
    if (!d)
        return;
    for (DWORD tick = 0; tick < samples; ++tick) {
        int32_t sum = 0;
        for (SoftBuffer* b = BufferList; b; b = b->next) {
            if (b->device != d || !b->playing)
                continue;
            sum += b->Sample();
            b->Step();
        }
        if (sum > 32767)
            sum = 32767;
        if (sum < -32768)
            sum = -32768;
        d->Append(static_cast<int16_t>(sum));
        ++d->clock;
    }
}

void SoftDirectSoundAdvanceMilliseconds(LPDIRECTSOUND device, DWORD milliseconds)
{
    uint64_t samples = static_cast<uint64_t>(milliseconds) * SOFT_DIRECTSOUND_RATE / 1000;
    SoftDirectSoundAdvance(device, static_cast<DWORD>(samples));
}

uint64_t SoftDirectSoundClock(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->clock : 0;
}

const int16_t* SoftDirectSoundTrack(LPDIRECTSOUND device, DWORD* samples)
{
    SoftDevice* d = FindDevice(device);
    if (samples)
        *samples = d ? d->trackSamples : 0;
    return d ? d->track : nullptr;
}

void SoftDirectSoundClearTrack(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    if (d)
        d->trackSamples = 0;
}

namespace {

void PutLittle(FILE* file, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        fputc(static_cast<int>((value >> (8 * i)) & 0xFF), file);
}

} // namespace

int SoftDirectSoundWriteWav(LPDIRECTSOUND device, const char* path)
{
    SoftDevice* d = FindDevice(device);
    if (!d || !path)
        return 0;
    FILE* file = fopen(path, "wb");
    if (!file)
        return 0;
    uint32_t dataBytes = d->trackSamples * 2u;
    // The canonical 44-byte header: RIFF, "fmt " with 16 bytes of PCM
    // format, then "data".
    fwrite("RIFF", 1, 4, file);
    PutLittle(file, 36 + dataBytes, 4);
    fwrite("WAVEfmt ", 1, 8, file);
    PutLittle(file, 16, 4);
    PutLittle(file, WAVE_FORMAT_PCM, 2);
    PutLittle(file, 1, 2);
    PutLittle(file, SOFT_DIRECTSOUND_RATE, 4);
    PutLittle(file, SOFT_DIRECTSOUND_RATE * 2, 4);
    PutLittle(file, 2, 2);
    PutLittle(file, 16, 2);
    fwrite("data", 1, 4, file);
    PutLittle(file, dataBytes, 4);
    for (DWORD i = 0; i < d->trackSamples; ++i)
        PutLittle(file, static_cast<uint16_t>(d->track[i]), 2);
    bool good = !ferror(file);
    return (fclose(file) == 0 && good) ? 1 : 0;
}

void SoftDirectSoundInjectFault(SoftDirectSoundFault fault, int passes, int failures)
{
    if (static_cast<int>(fault) < 0 || fault >= SoftFaultCount)
        return;
    Faults[fault].passes = passes > 0 ? passes : 0;
    Faults[fault].failures = failures;
    Faults[fault].hits = 0;
}

void SoftDirectSoundClearFaults(void)
{
    memset(Faults, 0, sizeof Faults);
    NewDeviceSplitLimit = 0;
}

int SoftDirectSoundFaultsHit(SoftDirectSoundFault fault)
{
    if (static_cast<int>(fault) < 0 || fault >= SoftFaultCount)
        return 0;
    return Faults[fault].hits;
}

int SoftDirectSoundLoseBuffer(LPDIRECTSOUNDBUFFER buffer)
{
    SoftBuffer* b = FindBuffer(buffer);
    if (!b)
        return 0;
    b->lost = true;
    b->playing = false;
    // What a lost buffer's memory holds is undefined; a loud constant makes a
    // missing refill plain in the track.
    memset(b->memory->bytes, 0x00, b->memory->size);
    if (b->memory->staging)
        DiscardLock(b->memory);
    return 1;
}

void SoftDirectSoundSplitLocks(LPDIRECTSOUND device, DWORD firstRegionBytes)
{
    if (!device) {
        NewDeviceSplitLimit = firstRegionBytes;
        return;
    }
    SoftDevice* d = FindDevice(device);
    if (d)
        d->splitLimit = firstRegionBytes;
}

ULONG SoftDirectSoundReferences(LPUNKNOWN object)
{
    if (!object)
        return 0;
    for (SoftDevice* d = DeviceList; d; d = d->next)
        if (!d->released && static_cast<IUnknown*>(static_cast<IDirectSound*>(d)) == object)
            return d->references;
    for (SoftBuffer* b = BufferList; b; b = b->next)
        if (static_cast<IUnknown*>(static_cast<IDirectSoundBuffer*>(b)) == object)
            return b->references;
    return 0;
}

int SoftDirectSoundLiveDevices(void)
{
    int count = 0;
    for (SoftDevice* d = DeviceList; d; d = d->next)
        if (!d->released)
            ++count;
    return count;
}

int SoftDirectSoundLiveBuffers(void)
{
    int count = 0;
    for (SoftBuffer* b = BufferList; b; b = b->next)
        ++count;
    return count;
}

int SoftDirectSoundDeviceBuffers(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->buffers : 0;
}

int SoftDirectSoundSharesMemory(LPDIRECTSOUNDBUFFER first, LPDIRECTSOUNDBUFFER second)
{
    SoftBuffer* a = FindBuffer(first);
    SoftBuffer* b = FindBuffer(second);
    return (a && b && a->memory == b->memory) ? 1 : 0;
}

DWORD SoftDirectSoundCooperativeLevel(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->level : 0;
}
