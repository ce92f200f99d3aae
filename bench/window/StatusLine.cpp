#include "bench/window/StatusLine.h"

#include <math.h>
#include <stdio.h>

std::string StatusLine(const PassRecord& pass, const GaugeReader* reader, bool takingOff)
{
    char airspeed[48];
    if (pass.Airspeed == floor(pass.Airspeed))
        snprintf(airspeed, sizeof airspeed, "Airspeed %.0f", pass.Airspeed);
    else
        snprintf(airspeed, sizeof airspeed, "Airspeed %.1f", pass.Airspeed);
    std::string status = reader ? reader->State() : std::string();
    status += (status.empty() ? "" : ", ") + std::string(airspeed);
    if (takingOff)
        status += ", taking off";
    return status;
}
