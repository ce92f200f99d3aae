// The sound objects: the DirectSound device, the two call-out sounds and the
// voices that play them. Everything here runs on the host's thread and fails
// silently; the device mixes the voices by itself, so the layer only looks at
// a voice's state when it is about to start it. Playing allocates nothing.
#include "sound/SoundObjects.h"

#include "resources/GaugeName.h"
#include "sound/WaveResource.h"

#include <stdint.h>
#include <string.h>

namespace {

// The DirectSound 5 buffer description is 20 bytes in the 32-bit layout the
// device expects, whatever the width of this build's pointers.
const DWORD VoiceDescriptionSize = 20;

// Static voices, filled once; the frequency, pan and volume controls are
// asked for although the gauge never changes them.
const DWORD VoiceFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME
    | DSBCAPS_GETCURRENTPOSITION2;

} // namespace

SoundDescriptor Wave1Sound = {"Wave1", nullptr};
SoundDescriptor Wave2Sound = {"Wave2", nullptr};
SoundDescriptor* SoundList[3] = {&Wave1Sound, &Wave2Sound, nullptr};

LPDIRECTSOUND SoundDevice = nullptr;
HMODULE ResourceModule = nullptr;

void LoadSounds(SoundDescriptor** list)
{
    // The gauge's name is its file name: a module installed under another
    // name gets a null handle here, and resource lookups then search the
    // program's own image instead, where the sounds are not.
    ResourceModule = GetModuleHandleA(GaugeName);
    if (DirectSoundCreate(nullptr, &SoundDevice, nullptr) < 0)
        return;
    if (SoundDevice->SetCooperativeLevel(GetActiveWindow(), DSSCL_NORMAL) < 0) {
        SoundDevice->Release();
        SoundDevice = nullptr;
        return;
    }
    for (SoundDescriptor** entry = list; *entry; ++entry)
        (*entry)->Object = CreateSoundObject(SoundDevice, (*entry)->Name, 1);
}

void ReleaseSounds(SoundDescriptor** list)
{
    // A failed load leaves no device, and then nothing is touched.
    if (!SoundDevice)
        return;
    for (SoundDescriptor** entry = list; *entry; ++entry) {
        ReleaseSoundObject((*entry)->Object);
        (*entry)->Object = nullptr;
    }
    SoundDevice->Release();
    SoundDevice = nullptr;
}

SoundObject* CreateSoundObject(LPDIRECTSOUND device, LPCSTR name, int voices)
{
    WAVEFORMATEX* format = nullptr;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (!ReadWaveResource(ResourceModule, name, &format, &data, &length))
        return nullptr;
    if (voices < 1)
        voices = 1;

    // Sized in 64 bits, so that no count of voices wraps to a small block: a
    // block that a 32-bit LocalAlloc could not even be asked for is an
    // allocation that failed.
    uint64_t bytes = sizeof(SoundObject) + static_cast<uint64_t>(voices) * sizeof(LPDIRECTSOUNDBUFFER);
    if (bytes > 0xFFFFFFFFu)
        return nullptr;
    SoundObject* object = static_cast<SoundObject*>(LocalAlloc(LPTR, static_cast<SIZE_T>(bytes)));
    if (!object)
        return nullptr;
    object->VoiceCount = voices;
    object->WaveData = data;
    object->WaveBytes = length;

    // A first voice that cannot be made leaves a silent object, not none.
    object->Voices[0] = CreateVoiceBuffer(device, name);
    for (int i = 1; i < voices; ++i) {
        if (device->DuplicateSoundBuffer(object->Voices[0], &object->Voices[i]) >= 0)
            continue;
        object->Voices[i] = CreateVoiceBuffer(device, name);
        if (!object->Voices[i]) {
            ReleaseSoundObject(object);
            return nullptr;
        }
    }
    return object;
}

LPDIRECTSOUNDBUFFER CreateVoiceBuffer(LPDIRECTSOUND device, LPCSTR name)
{
    DSBUFFERDESC description;
    memset(&description, 0, sizeof description);
    LPDIRECTSOUNDBUFFER buffer = nullptr;
    BYTE* data = nullptr;
    if (!ReadWaveResource(ResourceModule, name, &description.lpwfxFormat, &data, &description.dwBufferBytes))
        return nullptr;
    // A resource that is no usable wave leaves a null format or a zero
    // length here: the device refuses it, or else the fill does.
    description.dwSize = VoiceDescriptionSize;
    description.dwFlags = VoiceFlags;
    if (device->CreateSoundBuffer(&description, &buffer, nullptr) < 0)
        return nullptr;
    if (!FillVoiceBuffer(buffer, data, description.dwBufferBytes)) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

int FillVoiceBuffer(LPDIRECTSOUNDBUFFER buffer, const BYTE* data, DWORD length)
{
    if (!buffer || !data || length == 0)
        return 0;
    LPVOID region1 = nullptr;
    LPVOID region2 = nullptr;
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    if (buffer->Lock(0, length, &region1, &bytes1, &region2, &bytes2, 0) < 0)
        return 0;
    // The device may hand the buffer out in two pieces; together they hold
    // exactly `length` bytes.
    memcpy(region1, data, bytes1);
    if (bytes2 != 0)
        memcpy(region2, data + bytes1, bytes2);
    buffer->Unlock(region1, bytes1, region2, bytes2);
    return 1;
}

LPDIRECTSOUNDBUFFER PickVoice(SoundObject* object)
{
    if (!object)
        return nullptr;
    LPDIRECTSOUNDBUFFER voice = object->Voices[object->CurrentVoice];
    if (!voice)
        return nullptr;
    DWORD status = 0;
    if (voice->GetStatus(&status) < 0)
        status = 0;

    if (status & DSBSTATUS_PLAYING) {
        // One voice is never cut off: the request is dropped while it sounds,
        // silent tail included.
        if (object->VoiceCount <= 1)
            return nullptr;
        // With more voices the next one is taken, and if it too still sounds
        // it is the oldest play, which is cut off and started again.
        if (++object->CurrentVoice >= object->VoiceCount)
            object->CurrentVoice = 0;
        // When this voice cannot be asked, the first voice's flags stand and
        // this one is started as it is.
        voice = object->Voices[object->CurrentVoice];
        DWORD next = 0;
        if (voice && voice->GetStatus(&next) >= 0) {
            status = next;
            if (status & DSBSTATUS_PLAYING) {
                voice->Stop();
                voice->SetCurrentPosition(0);
            }
        }
    }

    if (voice && (status & DSBSTATUS_BUFFERLOST)) {
        // Restored memory holds nothing of ours until it is written again,
        // and a loss part way through a play leaves the cursor where the
        // play stopped: the call-out sounds again from its first byte.
        if (voice->Restore() < 0)
            return nullptr;
        voice->SetCurrentPosition(0);
        object->Unfilled = 1;
    }
    // A refill that failed is tried again before every later play: once
    // restored, the voice no longer reports itself lost, and playing it
    // unfilled would sound whatever the loss left in its memory.
    if (voice && object->Unfilled) {
        if (!FillVoiceBuffer(voice, object->WaveData, object->WaveBytes))
            return nullptr;
        object->Unfilled = 0;
    }
    return voice;
}

int PlaySoundObject(SoundObject* object, DWORD flags)
{
    if (!object)
        return 0;
    // A loop has no end to rotate on, so only a one-voice sound may loop.
    if ((flags & DSBPLAY_LOOPING) && object->VoiceCount != 1)
        return 0;
    LPDIRECTSOUNDBUFFER voice = PickVoice(object);
    if (!voice)
        return 0;
    return voice->Play(0, 0, flags) >= 0 ? 1 : 0;
}

void ReleaseSoundObject(SoundObject* object)
{
    if (!object)
        return;
    // Voices are released as they are, playing or not.
    for (LONG i = 0; i < object->VoiceCount; ++i) {
        if (object->Voices[i]) {
            object->Voices[i]->Release();
            object->Voices[i] = nullptr;
        }
    }
    LocalFree(object);
}
