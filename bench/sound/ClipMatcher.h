// Naming what a play starts: "Wave1" or "Wave2", by comparing the bytes the
// gauge wrote into a buffer with the data chunks of the module's own wave
// resources. The bench never reads the gauge's memory to learn this.
#ifndef LUMIVANE_BENCH_SOUND_CLIPMATCHER_H
#define LUMIVANE_BENCH_SOUND_CLIPMATCHER_H

#include <stddef.h>
#include <stdint.h>

// The whole data chunk of a RIFF/WAVE image, as a clip is known by: false,
// with both outputs cleared, for no RIFF/WAVE image, no data chunk, or a
// chunk before it or the data itself cut short.
bool FindClipData(const uint8_t* bytes, size_t size, const uint8_t** data, uint32_t* length);

// Reads the WAVE1 and WAVE2 resources of the module (type 10) and keeps their
// data chunks to name plays by; returns how many were found.
int LearnModuleClips(void* module);

// The clip whose data the two regions hold together (a locked buffer's two
// parts), or null.
const char* IdentifyClip(const void* first, uint32_t firstBytes, const void* second, uint32_t secondBytes);

#endif
