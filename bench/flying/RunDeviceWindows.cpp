// On Windows, and under Wine, the gauge plays through the system's
// DirectSound unless the run asks for the bench's software device.
#include "bench/flying/Run.h"

bool PlaysThroughSoftware(const RunOptions& options)
{
    return options.SoftSound;
}
