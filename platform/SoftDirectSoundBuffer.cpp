// The software DirectSound's secondary buffers: locking and unlocking their
// memory, playing and stopping, status, loss and restore, and release. Every
// method checks its arguments and its fault switch before it changes
// anything, so a call that fails leaves no trace; the mixer alone moves a
// playing buffer's cursor.
#include "platform/SoftDirectSoundInternal.h"

#include <math.h>
#include <stdlib.h>

namespace SoftDirectSoundInternal {

SoftBuffer* BufferList;

namespace {

const GUID IidDirectSoundBuffer = {0x279AFA85, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};

} // namespace

void DiscardLock(SoftMemory* memory)
{
    free(memory->staging);
    memory->staging = nullptr;
    memory->locker = nullptr;
    memory->lockOffset = memory->lockBytes1 = memory->lockBytes2 = 0;
}

SoftBuffer* FindBuffer(LPDIRECTSOUNDBUFFER buffer)
{
    for (SoftBuffer* b = BufferList; b; b = b->next)
        if (static_cast<IDirectSoundBuffer*>(b) == buffer)
            return b;
    return nullptr;
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
        return FaultResults[SoftFaultGetStatus].Result;
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
        return FaultResults[SoftFaultLock].Result;
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
        return FaultResults[SoftFaultPlay].Result;
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
        return FaultResults[SoftFaultRestore].Result;
    // The memory is back, but what it holds is whatever the loss left there.
    lost = false;
    return DS_OK;
}

} // namespace SoftDirectSoundInternal

using namespace SoftDirectSoundInternal;

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

int SoftDirectSoundLiveBuffers(void)
{
    int count = 0;
    for (SoftBuffer* b = BufferList; b; b = b->next)
        ++count;
    return count;
}

int SoftDirectSoundSharesMemory(LPDIRECTSOUNDBUFFER first, LPDIRECTSOUNDBUFFER second)
{
    SoftBuffer* a = FindBuffer(first);
    SoftBuffer* b = FindBuffer(second);
    return (a && b && a->memory == b->memory) ? 1 : 0;
}
