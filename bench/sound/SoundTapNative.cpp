// The native build's and the page's way in front of a module's DirectSound:
// the module's DirectSoundCreate is the one the program defines here, so the
// tap is always in front, and always of the software device.
#include "bench/sound/SoundTapParts.h"

RealDirectSoundCreate TapFirstDevice()
{
    return TapSoftCreate;
}

bool OpenTapWay(void*, bool)
{
    TapInFrontOf(TapSoftCreate);
    return true;
}

// An undefined symbol of the native module, bound at load time to this
// definition, which the bench program exports (-Wl,--export-dynamic-symbol);
// the page links the module into itself, where it is found like any other.
extern "C" __attribute__((visibility("default"))) HRESULT WINAPI DirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* device,
                                                                                  LPUNKNOWN outer)
{
    return TappedDirectSoundCreate(guid, device, outer);
}
