// The description's clips are in the sound tap's own form, so that they are
// handed on as they are.
#include "bench/flying/GaugeDescription.h"

#include "bench/sound/SoundTap.h"

bool TapGaugeSound(void* module, bool softSound, const GaugeDescription* gauge)
{
    return TapDirectSound(module, softSound, gauge ? gauge->Clips : nullptr, gauge ? gauge->ClipCount : 0);
}
