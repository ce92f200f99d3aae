// The gauge's name, which is also the file name the module must be installed
// under: Windows finds the module's own resources by it, so the sound layer
// asks for the module by this name, and the gauge header names the gauge with
// the same string.
#ifndef LUMIVANE_RESOURCES_GAUGENAME_H
#define LUMIVANE_RESOURCES_GAUGENAME_H

inline constexpr char GaugeName[] = "Lumivane.gau";

#endif
