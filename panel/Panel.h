// The gauge's one element tree and one mouse area list: static, initialised
// data that the host reads in place and fills its own fields in.
#ifndef LUMIVANE_PANEL_PANEL_H
#define LUMIVANE_PANEL_PANEL_H

#include "host/Records.h"

// The module's gauge header (module/GaugeModule.cpp), to which every element
// points back and which the mouse area services receive.
extern GaugeHeader Gauge;

// The chain, in the order the host evaluates and draws it.
extern StaticImageElement BackgroundElement;
extern IconElement Lamp1Element;
extern IconElement Lamp2Element;
extern IconElement Lamp3Element;
extern IconElement Speed1MarkElement; // bottom
extern IconElement Speed2MarkElement; // middle
extern IconElement Speed3MarkElement; // top
extern TextElement ReadoutElement;

// The readout element's callback. A text callback's form has no element
// argument, so it is bound here, beside its one element, and hands the
// element's text buffer, which the host fills, to settings/Readout.h.
double GAUGE_STDCALL ReadoutCallback(double value);

// The gauge header's element list: the background element, then null.
extern ElementList GaugeElements;

extern FailureRecord IconFailures[3];

// Eight records: group start, five areas, group end, list end.
extern MouseArea MouseAreas[8];

#endif
