// Natively the bench's software DirectSound is the only device there is.
#include "bench/flying/Run.h"

bool PlaysThroughSoftware(const RunOptions&)
{
    return true;
}
