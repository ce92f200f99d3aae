// The module's own clips, read from its wave resources (WAVE1, WAVE2) with the
// bench's RIFF chunk walk, so that the page's Web Audio plays the very bytes
// the gauge copies into its DirectSound buffers. Only PCM is accepted; a clip
// whose chunks do not hold together is left out, and the page says so.
#ifndef LUMIVANE_WEB_PAGECLIPS_H
#define LUMIVANE_WEB_PAGECLIPS_H

#include <stddef.h>
#include <stdint.h>

struct PageClip {
    const char* Name;     // as the bench's tap names plays: "Wave1"
    const uint8_t* Data;  // the data chunk, inside the loaded module
    uint32_t Bytes;
    uint32_t Rate;
    uint16_t Channels;
    uint16_t Bits;        // 8 (unsigned) or 16 (signed, little-endian)
};

// Reads the clips of the loaded module `module`; how many were found. The
// clips stay valid while the module is loaded.
int ReadPageClips(void* module);
int PageClipCount();
const PageClip* PageClipAt(int index);

#endif
