// The description's clips as the sound tap reads them: the tap keeps what
// it needs of them, so that nothing of the description is held past the
// call.
#include "bench/flying/GaugeDescription.h"

#include "bench/sound/SoundTap.h"

bool TapGaugeSound(void* module, bool softSound, const GaugeDescription* gauge)
{
    ModuleClipSource sources[MostModuleClips];
    int count = 0;
    for (size_t i = 0; gauge && i < gauge->Clips.size() && count < MostModuleClips; ++i)
        sources[count++] = {gauge->Clips[i].Name.c_str(), gauge->Clips[i].Resource.c_str()};
    return TapDirectSound(module, softSound, sources, count);
}
