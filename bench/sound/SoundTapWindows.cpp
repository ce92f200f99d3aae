// The windows build's way in front of a module's DirectSound: the module's
// import of DirectSoundCreate is pointed at the tap (bench/hosting/ImportHooks.h),
// which passes on to what the slot held (Wine's DirectSound) or to the
// software device. Until then there is no device to stand in front of.
#include "bench/hosting/ImportHooks.h"
#include "bench/sound/SoundTapParts.h"

RealDirectSoundCreate TapFirstDevice()
{
    return nullptr;
}

bool OpenTapWay(void* module, bool softSound)
{
    void* bound = nullptr;
    ImportHook hook = {"dsound.dll", "DirectSoundCreate", reinterpret_cast<void*>(&TappedDirectSoundCreate),
                       &bound, false};
    if (HookImports(module, &hook, 1) != 1)
        return false;
    TapInFrontOf(softSound ? TapSoftCreate : reinterpret_cast<RealDirectSoundCreate>(bound));
    return true;
}
