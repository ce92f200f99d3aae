// The gauge's seven bitmaps and two wave clips, made from their geometry and
// sound description. The committed files under resources/ are this code's
// output; they change only by changing this code and writing them anew, and a
// test holds the two together byte for byte.
#ifndef LUMIVANE_TOOLS_ARTWORK_H
#define LUMIVANE_TOOLS_ARTWORK_H

#include <cstdint>
#include <string>
#include <vector>

struct ArtFile {
    std::string Name; // file name under resources/
    std::vector<uint8_t> Bytes;
};

// All nine files, in a fixed order: the seven bitmaps (with their 14-byte
// file headers, as resource compilers expect) and then the two clips.
std::vector<ArtFile> MakeArtwork();

// The one beep both clips are made of, as unsigned 8-bit samples.
std::vector<uint8_t> MakeBeep();

#endif
