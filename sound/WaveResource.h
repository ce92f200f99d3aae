// Finds a wave clip among the module's own resources and points into it.
// Nothing is copied and nothing is allocated: the format record, the samples
// and their length all refer to the module's resource image, which stays
// valid for as long as the module is loaded. Never write through the results.
#ifndef LUMIVANE_SOUND_WAVERESOURCE_H
#define LUMIVANE_SOUND_WAVERESOURCE_H

#include "platform/Platform.h"

// Looks up the RT_RCDATA resource `name` (compared without regard to case) in
// `module` and walks it with ParseWaveChunks, bounded by the resource's size.
// Returns 1 when the resource exists, 0 when it does not (outputs untouched).
// Whether a usable wave was found shows in the outputs alone: each one given
// is null or 0 unless its chunk was found. Every output may be null.
int ReadWaveResource(HMODULE module, LPCSTR name, WAVEFORMATEX** format, BYTE** data, DWORD* length);

// Walks the chunks of a RIFF/WAVE image of `imageBytes` bytes. Returns 1 when
// at least one output was given and every output given has been set (a length
// only counts when it is not 0), 0 otherwise. Every output given is cleared
// first, so it is defined on every return. A chunk that would reach past the
// image ends the walk with 0; what was set before it stays set.
int ParseWaveChunks(const BYTE* image, DWORD imageBytes, WAVEFORMATEX** format, BYTE** data, DWORD* length);

#endif
