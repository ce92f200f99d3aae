// The three-character readout of the selected speed.
#ifndef LUMIVANE_SETTINGS_READOUT_H
#define LUMIVANE_SETTINGS_READOUT_H

#include "panel/RoutineForms.h"

// The readout element's callback: loads the settings files until one load has
// read all three, writes the selected speed into the element's text buffer,
// and returns its argument, or 1.0 when a settings file was missing.
double GAUGE_STDCALL ReadoutCallback(double value);

#endif
