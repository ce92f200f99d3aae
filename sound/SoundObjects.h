// The gauge's sounds: one DirectSound device and one SoundObject per sound
// descriptor, loaded at install and released at kill. A SoundObject is a named
// wave with one or more voices (DirectSound buffers) that can start it again
// while an earlier play still sounds. Every failure is silent: a sound that
// cannot be made is absent, and playing an absent sound does nothing.
#ifndef LUMIVANE_SOUND_SOUNDOBJECTS_H
#define LUMIVANE_SOUND_SOUNDOBJECTS_H

#include "platform/Platform.h"

// One named sound. The header and the Voices array are one zero-filled
// LocalAlloc block. WaveData points into the module's resource image and is
// never copied or freed. Voices[0] may be null (its buffer could not be made);
// the voices after it never are. The object holds one reference to each voice.
struct SoundObject {
    BYTE* WaveData;
    DWORD WaveBytes;
    LONG VoiceCount;    // at least 1
    LONG CurrentVoice;  // the voice PickVoice tries first; 0 <= CurrentVoice < VoiceCount
    // 1 while the voices' memory was given back by Restore but could not be
    // written again: it holds no sound of ours, and is refilled before any
    // voice plays.
    LONG Unfilled;
    LPDIRECTSOUNDBUFFER Voices[];
};

// A sound the module loads: the wave resource's name (at most 35 characters,
// zero-filled) and its SoundObject, null whenever it is not loaded.
struct SoundDescriptor {
    char Name[36];
    SoundObject* Object;
};

// The call-out sounds: one beep, and the same beep twice.
extern SoundDescriptor Wave1Sound;
extern SoundDescriptor Wave2Sound;

// The descriptors LoadSounds and ReleaseSounds walk: Wave1Sound, Wave2Sound,
// then null.
extern SoundDescriptor* SoundList[3];

// The device, with the layer's one reference; null while there is none.
extern LPDIRECTSOUND SoundDevice;
// The gauge file itself, found by its name; every wave is read from it.
extern HMODULE ResourceModule;

// Install: the device, its cooperative level, and one single-voice
// SoundObject per descriptor of the null-terminated list.
void LoadSounds(SoundDescriptor** list);
// Kill: every descriptor's object, then the device. Nothing at all happens
// when there is no device.
void ReleaseSounds(SoundDescriptor** list);

SoundObject* CreateSoundObject(LPDIRECTSOUND device, LPCSTR name, int voices);
void ReleaseSoundObject(SoundObject* object);
// Starts one voice with the flags given to Play (DSBPLAY_LOOPING loops, for a
// one-voice sound only). 1 when a voice was started, else 0.
int PlaySoundObject(SoundObject* object, DWORD flags);
// The voice the next play starts, restored and refilled if it was lost; null
// when none may start now.
LPDIRECTSOUNDBUFFER PickVoice(SoundObject* object);
// A fresh static buffer holding the named wave, or null.
LPDIRECTSOUNDBUFFER CreateVoiceBuffer(LPDIRECTSOUND device, LPCSTR name);
// Writes `length` wave bytes into the buffer from its start; 1 on success.
int FillVoiceBuffer(LPDIRECTSOUNDBUFFER buffer, const BYTE* data, DWORD length);

#endif
