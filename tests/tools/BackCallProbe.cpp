// A back-call for the call check to catch, linked into nothing: the check is
// told this object belongs to the host calls, the gauge's lowest folder, and
// it calls a lamp callback of the call-outs folder above them. A check that
// passes it is a check that sees no circles.
#include "callouts/Lamps.h"

double ProbeBackCall()
{
    return Lamp1Callback(nullptr);
}
