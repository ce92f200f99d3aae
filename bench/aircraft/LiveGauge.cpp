// Both painters see every pass, so that they paint the same passes and their
// frames always show the same moment.
#include "bench/aircraft/LiveGauge.h"

LiveGauge::LiveGauge() : dark_(false, Rgb{0, 0, 0}), light_(false, Rgb{255, 255, 255}) {}

bool LiveGauge::Paint(const PassRecord& pass)
{
    const bool dark = dark_.Paint(pass);
    const bool light = light_.Paint(pass);
    return dark && light;
}
