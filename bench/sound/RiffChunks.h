// The chunks of a RIFF/WAVE image, for the bench's two readers of wave bytes:
// the module's clips (bench/sound/ModuleClips.cpp) and ALSA's recordings
// (bench/sound/AlsaCapture.cpp). RIFF chunks are word-aligned, so an odd
// length is followed by one pad byte. Every size is compared with the
// bytes left before the walk moves, so no length in the image can carry it
// past the end or, in a 32-bit build, wrap it back to the start.
#ifndef LUMIVANE_BENCH_RIFFCHUNKS_H
#define LUMIVANE_BENCH_RIFFCHUNKS_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "bench/files/LittleEndian.h"

struct RiffChunk {
    const uint8_t* Body;
    size_t Present;    // the body's bytes in the image: Declared, or fewer when it is cut short
    uint32_t Declared; // the length its header gives
    bool Is(const char* id) const { return memcmp(Body - 8, id, 4) == 0; }
};

// Whether the image starts as a RIFF/WAVE file does; its chunks then start
// at byte 12.
inline bool IsRiffWave(const uint8_t* bytes, size_t size)
{
    return size >= 12 && memcmp(bytes, "RIFF", 4) == 0 && memcmp(bytes + 8, "WAVE", 4) == 0;
}

// The chunk at `*at`, moving `*at` to the next one; false at the end, or when
// no whole chunk header is left.
inline bool NextRiffChunk(const uint8_t* bytes, size_t size, size_t* at, RiffChunk* chunk)
{
    if (*at > size || size - *at < 8)
        return false;
    const size_t body = *at + 8;
    const size_t left = size - body;
    chunk->Body = bytes + body;
    chunk->Declared = Little32(bytes + *at + 4);
    chunk->Present = chunk->Declared < left ? chunk->Declared : left;
    const size_t skip = size_t(chunk->Declared) + (chunk->Declared & 1);
    *at = chunk->Declared <= left && skip <= left ? body + skip : size;
    return true;
}

#endif
