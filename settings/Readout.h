// The three-character readout of the selected speed.
#ifndef LUMIVANE_SETTINGS_READOUT_H
#define LUMIVANE_SETTINGS_READOUT_H

#include "host/Records.h"

// The readout element's callback: loads the settings files until one load has
// read all three, writes the selected speed into the element's text buffer,
// and returns its argument, or 1.0 when a settings file was missing.
double GAUGE_STDCALL ReadoutCallback(double value);

// The readout element of the panel (panel/Panel.cpp), whose text buffer
// pointer the host fills and the callback writes through.
extern TextElement ReadoutElement;

#endif
