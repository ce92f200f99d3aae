// The three-character readout of the selected speed.
#ifndef LUMIVANE_SETTINGS_READOUT_H
#define LUMIVANE_SETTINGS_READOUT_H

// What the readout element's callback (panel/Panel.h) does with the text
// buffer the host gives the element: loads the settings files until one load
// has read all three, writes the selected speed into `text` where there is
// one, and returns `value`, or 1.0 when a settings file was missing.
double FillReadout(char* text, double value);

#endif
