// Its own unit, so that the sound layer can use the name without bringing in
// the rest of the module.
#include "module/GaugeName.h"

const char GaugeName[] = "Lumivane.gau";
