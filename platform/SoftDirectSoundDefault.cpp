// DirectSoundCreate for the unit-test programs that link the gauge's code: the
// default device is the software device, so the sound layer's own unchanged
// code plays on a clock the tests advance and can be heard in its track. The
// gauge modules never carry this: the DLL imports DirectSoundCreate from
// dsound.dll, the native one from the program that loads it (the bench).
#include "platform/SoftDirectSound.h"

extern "C" HRESULT WINAPI DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer)
{
    return SoftDirectSoundCreate(device, directSound, outer);
}
