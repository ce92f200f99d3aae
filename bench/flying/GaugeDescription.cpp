// The description's clips as the sound tap reads them: the tap keeps what
// it needs of them, so that nothing of the description is held past the
// call.
#include "bench/flying/GaugeDescription.h"

#include "bench/sound/SoundTap.h"

bool TapGaugeSound(void* module, bool softSound, const GaugeDescription* gauge)
{
    ModuleClipSource sources[MostModuleClips];
    int count = 0;
    for (int i = 0; gauge && i < gauge->ClipCount && count < MostModuleClips; ++i)
        sources[count++] = {gauge->Clips[i].Name, gauge->Clips[i].Resource};
    return TapDirectSound(module, softSound, sources, count);
}
