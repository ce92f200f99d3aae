// The null and the minimal gauge as the native pass programs hold them:
// their callbacks in chain order beside Lumivane's, sharing one ImportTable
// and one readout record, since the programs call them directly rather than
// through a loaded module's element chain.
#include "speed/Passes.h"
#include "speed/ReferenceGauges.h"

// Only the text buffer pointer of the element is used.
TextElement ReferenceReadout = {};

namespace {

const PassGauge Null = {
    {NullLamp, NullLamp, NullLamp, NullMark, NullMark, NullMark},
    NullReadout,
    &ReferenceImports,
    &ReferenceReadout,
};

const PassGauge Minimal = {
    {NullLamp, NullLamp, NullLamp, NullMark, NullMark, NullMark},
    MinimalReadout,
    &ReferenceImports,
    &ReferenceReadout,
};

} // namespace

const PassGauge& NullGauge()
{
    return Null;
}

const PassGauge& MinimalGauge()
{
    return Minimal;
}
