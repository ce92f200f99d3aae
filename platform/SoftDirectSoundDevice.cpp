// The software DirectSound's device: what DirectSoundCreate gives, its
// cooperative level, and the creation and duplication of its secondary
// buffers, with the counts a test reads to see a leak and how a device's
// locks are split. Arguments and the fault switch are checked before anything
// is made, so a refused call leaves no device or buffer behind.
#include "platform/SoftDirectSoundInternal.h"

#include <new>
#include <stdlib.h>

namespace SoftDirectSoundInternal {

SoftDevice* DeviceList;

// Interface identities, with their published values.
const GUID IidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

const GUID IidDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
const GUID NullGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const GUID DefaultPlayback = {0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};

// Buffer description sizes the device accepts: the DirectSound 5 record and
// the DirectSound 7 one (with its 3D algorithm GUID) in the 32-bit layout, and
// this build's own record, whose pointer may be wider.
const DWORD DescriptionSize5 = 20;
const DWORD DescriptionSize7 = 36;

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

} // namespace

SoftDevice* FindDevice(LPDIRECTSOUND device)
{
    for (SoftDevice* d = DeviceList; d; d = d->next)
        if (!d->released && static_cast<IDirectSound*>(d) == device)
            return d;
    return nullptr;
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

namespace {

// Puts a new buffer in the list and counts it against its device.
void Link(SoftBuffer* buffer)
{
    buffer->next = BufferList;
    BufferList = buffer;
    ++buffer->device->buffers;
}

} // namespace

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
    // Documented as 0: a description with anything there was never cleared,
    // and the rest of it cannot be trusted either.
    if (description->dwReserved != 0)
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
        return FaultResults[SoftFaultCreateBuffer].Result;

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
        return FaultResults[SoftFaultDuplicate].Result;
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
        return FaultResults[SoftFaultCooperativeLevel].Result;
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

} // namespace SoftDirectSoundInternal

using namespace SoftDirectSoundInternal;

HRESULT SoftDirectSoundCreate(LPCGUID deviceGuid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    if (!device)
        return DSERR_INVALIDPARAM;
    if (outer)
        return DSERR_NOAGGREGATION;
    if (deviceGuid && !SameGuid(*deviceGuid, NullGuid) && !SameGuid(*deviceGuid, DefaultPlayback))
        return DSERR_NODRIVER;
    if (Trips(SoftFaultCreateDevice))
        return FaultResults[SoftFaultCreateDevice].Result;
    SoftDevice* created = new (std::nothrow) SoftDevice;
    if (!created)
        return DSERR_OUTOFMEMORY;
    created->splitLimit = NewDeviceSplitLimit;
    created->next = DeviceList;
    DeviceList = created;
    *device = created;
    return DS_OK;
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

int SoftDirectSoundDeviceBuffers(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->buffers : 0;
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

DWORD SoftDirectSoundCooperativeLevel(LPDIRECTSOUND device)
{
    SoftDevice* d = FindDevice(device);
    return d ? d->level : 0;
}
