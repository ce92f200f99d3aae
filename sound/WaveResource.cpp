// The wave resource reader: finds "Wave1"/"Wave2" in the module and walks the
// RIFF chunks to the format record and the samples. The image is bytes we did
// not write, so the walk reads every field byte by byte, compares the bytes
// left with what it is about to read before it reads or moves, and never adds
// two untrusted 32-bit sizes where the sum could wrap.
#include "sound/WaveResource.h"

namespace {

// RIFF numbers are little-endian whatever the processor.
DWORD ReadLittle32(const BYTE* at)
{
    return static_cast<DWORD>(at[0]) | static_cast<DWORD>(at[1]) << 8 | static_cast<DWORD>(at[2]) << 16
        | static_cast<DWORD>(at[3]) << 24;
}

// Chunk tags are four exact bytes; "riff" or "Fmt " are other tags.
bool TagIs(const BYTE* at, const char* tag)
{
    return at[0] == static_cast<BYTE>(tag[0]) && at[1] == static_cast<BYTE>(tag[1])
        && at[2] == static_cast<BYTE>(tag[2]) && at[3] == static_cast<BYTE>(tag[3]);
}

// The basic format record: format tag, channels, samples per second, average
// bytes per second and block align. A shorter format chunk cannot describe a
// wave at all.
const DWORD BasicFormatBytes = 14;

const DWORD RiffHeaderBytes = 12;
const DWORD ChunkHeaderBytes = 8;

} // namespace

int ParseWaveChunks(const BYTE* image, DWORD imageBytes, WAVEFORMATEX** format, BYTE** data, DWORD* length)
{
    // Defined on every return, before anything can fail.
    if (format)
        *format = nullptr;
    if (data)
        *data = nullptr;
    if (length)
        *length = 0;

    if (!image || imageBytes < RiffHeaderBytes)
        return 0;
    if (!TagIs(image, "RIFF") || !TagIs(image + 8, "WAVE"))
        return 0;

    // The RIFF size counts the bytes after its own field, so the chunk ends 8
    // bytes past it. A size within 8 of the 32-bit limit is held at the limit
    // instead of wrapping to a small end; the image bound stops the walk long
    // before such an end matters.
    const DWORD riffSize = ReadLittle32(image + 4);
    const DWORD riffEnd = riffSize > 0xFFFFFFFFu - 8 ? 0xFFFFFFFFu : riffSize + 8;

    // Invariant: position <= imageBytes, so imageBytes - position never wraps.
    DWORD position = RiffHeaderBytes;
    while (position < riffEnd) {
        DWORD left = imageBytes - position;
        // The RIFF size may promise more than the resource holds; a chunk
        // header cut off by the end of the image is a truncation, not a chunk.
        if (left < ChunkHeaderBytes)
            return 0;
        const BYTE* chunk = image + position;
        const DWORD chunkLength = ReadLittle32(chunk + 4);
        const DWORD bodyAt = position + ChunkHeaderBytes;
        left -= ChunkHeaderBytes;
        // A body that would reach past the image ends the walk, whether the
        // chunk would be taken or passed over: nothing beyond it can be trusted.
        if (chunkLength > left)
            return 0;
        BYTE* body = const_cast<BYTE*>(image) + bodyAt;

        if (TagIs(chunk, "fmt ") && format && !*format) {
            // A short format chunk ends the walk instead of being skipped:
            // a later one would only be a guess at what the clip meant.
            if (chunkLength < BasicFormatBytes)
                return 0;
            *format = reinterpret_cast<WAVEFORMATEX*>(body);
            if ((!data || *data) && (!length || *length != 0))
                return 1;
        } else if (TagIs(chunk, "data") && chunkLength != 0 && ((data && !*data) || (length && *length == 0))) {
            // A data chunk of length 0 is passed over without being taken: it
            // holds no samples, and a later data chunk with samples is still
            // wanted. So the data pointer is never left pointing at nothing.
            if (data)
                *data = body;
            if (length)
                *length = chunkLength;
            if (!format || *format)
                return 1;
        }

        // RIFF chunks are word-aligned, so an odd length is followed by one
        // pad byte. A final odd chunk whose pad byte is missing leaves nothing
        // after it; the position then stops at the end of the image.
        DWORD step = chunkLength + (chunkLength & 1);
        if (step > left)
            step = left;
        position = bodyAt + step;
    }
    // The end of the RIFF chunk came before every wanted output was set.
    return 0;
}

int ReadWaveResource(HMODULE module, LPCSTR name, WAVEFORMATEX** format, BYTE** data, DWORD* length)
{
    HRSRC found = FindResourceA(module, name, RT_RCDATA);
    if (!found)
        return 0;

    // The locked image needs no unlocking or freeing: it is part of the
    // loaded module. The walk clears the outputs first, for an image that
    // could not be had as well.
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE* image = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    ParseWaveChunks(image, image ? SizeofResource(module, found) : 0, format, data, length);
    return 1;
}
