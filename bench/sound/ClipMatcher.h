// Naming what a play starts: one of the module's clips, by its own name, by
// comparing the bytes the gauge wrote into a buffer with the data chunks of
// the module's own clips (bench/sound/ModuleClips.h). The bench never reads the gauge's memory to
// learn this.
#ifndef LUMIVANE_BENCH_SOUND_CLIPMATCHER_H
#define LUMIVANE_BENCH_SOUND_CLIPMATCHER_H

#include <stdint.h>

// The clip whose data the two regions hold together (a locked buffer's two
// parts), or null.
const char* IdentifyClip(const void* first, uint32_t firstBytes, const void* second, uint32_t secondBytes);

#endif
