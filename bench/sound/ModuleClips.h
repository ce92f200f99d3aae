// The module's own clips, read once from the wave resources its gauge's
// reader names (bench/flying/GaugeDescription.h): the one reader of them,
// from which the tap names what a buffer plays (ClipMatcher) and the web
// page plays them through Web Audio. A clip is
// usable when the gauge would take it and a DirectSound would play it: the
// chunks walked as the gauge walks them, up to its first format chunk and its
// first data chunk that holds samples, both whole, and the format a PCM one
// of one or two channels of 8 or 16 bits at a rate DirectSound accepts. Any
// other clip is left out, with the reason its reading ended.
#ifndef LUMIVANE_BENCH_SOUND_MODULECLIPS_H
#define LUMIVANE_BENCH_SOUND_MODULECLIPS_H

#include <stddef.h>
#include <stdint.h>

struct ModuleClip {
    const char* Name;     // as plays are named, the gauge's own name for it
    const uint8_t* Data;  // the data chunk's samples, inside the image
    uint32_t Bytes;
    uint32_t Rate;
    uint16_t Channels;
    uint16_t Bits;        // 8 (unsigned) or 16 (signed, little-endian)
};

// How the reading of one clip ended. A clean end of the walk without what it
// needed is told apart from a chunk cut short by the end of the image.
enum ClipReading {
    ClipUsable = 0,
    ClipNotWave,    // no RIFF/WAVE header
    ClipCutShort,   // a chunk, or the RIFF chunk itself, runs past the end before both were found
    ClipNoFormat,   // the walk ended without a format chunk
    ClipBadFormat,  // the first format chunk is short, or not PCM that DirectSound plays
    ClipNoSamples,  // the walk ended without a data chunk that holds samples
};

// Reads the clip in `bytes`. Every output but `clip->Name` is cleared first
// and filled only when the clip is usable.
ClipReading ReadClipImage(const uint8_t* bytes, size_t size, ModuleClip* clip);
// A few words for the reading: "a chunk runs past the end of the resource".
const char* DescribeClipReading(ClipReading reading);

// Where a clip is read from: the name plays are known by and the name of its
// wave resource (type 10), which need not be the same.
struct ModuleClipSource {
    const char* Name;
    const char* Resource;
};
const int MostModuleClips = 4;
// Reads the wave resources of the loaded `module` that `sources` name, in
// their order (the first MostModuleClips of them, the rest left out), and
// keeps the usable ones; how many. Their bytes stay valid while the module
// is loaded, their names while the sources' do (a gauge's description's
// live as long as the program).
int LearnModuleClipsFrom(void* module, const ModuleClipSource* sources, int count);
int ModuleClipCount();
// The index-th usable clip, or null.
const ModuleClip* ModuleClipAt(int index);

#endif
