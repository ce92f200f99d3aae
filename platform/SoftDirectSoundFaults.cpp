// The software DirectSound's fault switches: the one table through which a
// test makes an operation fail, and the error each failure gives. Methods only
// ask Trips once their arguments are accepted, so a refused call neither counts
// nor uses up a fault. The device and its buffers call in here; nothing here
// calls them, touches a device's sound or looks at its buffers.
#include "platform/SoftDirectSoundInternal.h"

namespace SoftDirectSoundInternal {

namespace {

struct FaultSwitch {
    int passes;
    int failures;
    int hits;
};

FaultSwitch Faults[SoftFaultCount];

} // namespace

// A device the code under test creates itself and fills at once can split
// its locks from the start.
DWORD NewDeviceSplitLimit = 0;

// The error each switch produces: the one the real device gives for the
// nearest real cause (no driver, device taken, memory exhausted, ...).
constexpr FaultResult FaultResults[SoftFaultCount] = {
    {SoftFaultCreateDevice, DSERR_NODRIVER},
    {SoftFaultCooperativeLevel, DSERR_ALLOCATED},
    {SoftFaultCreateBuffer, DSERR_OUTOFMEMORY},
    {SoftFaultDuplicate, DSERR_OUTOFMEMORY},
    {SoftFaultLock, DSERR_INVALIDCALL},
    {SoftFaultRestore, DSERR_BUFFERLOST},
    {SoftFaultPlay, DSERR_GENERIC},
    {SoftFaultGetStatus, DSERR_GENERIC},
};

namespace {

// Row n is kind n's and gives a failure. A kind added without its row would
// leave the last row zero-filled (kind 0, result 0: a fault that succeeds),
// and rows out of order would give a kind another's error; neither compiles.
constexpr bool EveryFaultHasItsResult()
{
    for (int kind = 0; kind < SoftFaultCount; ++kind)
        if (FaultResults[kind].Fault != kind || FaultResults[kind].Result >= 0)
            return false;
    return true;
}
static_assert(EveryFaultHasItsResult(), "FaultResults: one row for each SoftDirectSoundFault, in its order, "
                                        "each with a failing result");

} // namespace

// A switch with failures to give lets its passes go by first.
bool Trips(SoftDirectSoundFault fault)
{
    FaultSwitch& s = Faults[fault];
    if (s.failures == 0)
        return false;
    if (s.passes > 0) {
        --s.passes;
        return false;
    }
    if (s.failures > 0)
        --s.failures;
    ++s.hits;
    return true;
}

} // namespace SoftDirectSoundInternal

using namespace SoftDirectSoundInternal;

void SoftDirectSoundInjectFault(SoftDirectSoundFault fault, int passes, int failures)
{
    if (static_cast<int>(fault) < 0 || fault >= SoftFaultCount)
        return;
    Faults[fault].passes = passes > 0 ? passes : 0;
    Faults[fault].failures = failures;
    Faults[fault].hits = 0;
}

void SoftDirectSoundClearFaults(void)
{
    memset(Faults, 0, sizeof Faults);
    NewDeviceSplitLimit = 0;
}

int SoftDirectSoundFaultsHit(SoftDirectSoundFault fault)
{
    if (static_cast<int>(fault) < 0 || fault >= SoftFaultCount)
        return 0;
    return Faults[fault].hits;
}
