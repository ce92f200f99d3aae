// For the windows build's sound tests only: the gauge's DirectSoundCreate
// hands out the software device, so the sound layer's own unchanged code plays
// on a clock the tests advance. MinGW declares DirectSoundCreate without
// dllimport, so this definition is taken before the one in libdsound.a; the
// native build has the same forwarding in platform/native/DirectSound.cpp.
#include "platform/SoftDirectSound.h"

extern "C" HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer)
{
    return SoftDirectSoundCreate(device, directSound, outer);
}
