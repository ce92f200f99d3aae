// The software DirectSound's fault switches: the one table through which a
// test makes an operation fail, and the error each failure gives. Methods only
// ask Trips once their arguments are accepted, so a refused call neither counts
// nor uses up a fault. Nothing here touches a device's sound or its buffers.
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
const HRESULT FaultResults[SoftFaultCount] = {
    DSERR_NODRIVER,     // SoftFaultCreateDevice
    DSERR_ALLOCATED,    // SoftFaultCooperativeLevel
    DSERR_OUTOFMEMORY,  // SoftFaultCreateBuffer
    DSERR_OUTOFMEMORY,  // SoftFaultDuplicate
    DSERR_INVALIDCALL,  // SoftFaultLock
    DSERR_BUFFERLOST,   // SoftFaultRestore
    DSERR_GENERIC,      // SoftFaultPlay
    DSERR_GENERIC,      // SoftFaultGetStatus
};

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

void SoftDirectSoundSplitLocks(LPDIRECTSOUND device, DWORD firstRegionBytes)
{
    if (!device) {
        NewDeviceSplitLimit = firstRegionBytes;
        return;
    }
    SoftDevice* d = FindDevice(device);
    if (d)
        d->splitLimit = firstRegionBytes;
}
