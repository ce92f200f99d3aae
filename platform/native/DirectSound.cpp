// DirectSoundCreate for the native build: the default device is the software
// device, so the gauge's sound layer runs unchanged on Linux and every sound
// it plays can be heard in the device's track.
#include "platform/Platform.h"
#include "platform/SoftDirectSound.h"

extern "C" HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer)
{
    return SoftDirectSoundCreate(device, directSound, outer);
}
