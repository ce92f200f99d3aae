// The gauge's name, which is also the file name the module must be installed
// under: the gauge header names the gauge with it, and the sound layer finds
// the module's own resources by it.
#ifndef LUMIVANE_MODULE_GAUGENAME_H
#define LUMIVANE_MODULE_GAUGENAME_H

extern const char GaugeName[];

#endif
