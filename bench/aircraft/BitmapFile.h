// A window's background bitmap, a .bmp file: the 14-byte file header, then
// a device-independent bitmap as a module's bitmap resources hold one, read
// by the bench's one decoder of those (bench/pictures/Dib.h), which takes 256
// colours, uncompressed, at most 4096 pixels each way. The file is read whole
// through the bench's bounded reader, so a file that is huge, a folder or a
// device is refused before its bytes are.
#ifndef LUMIVANE_BENCH_AIRCRAFT_BITMAPFILE_H
#define LUMIVANE_BENCH_AIRCRAFT_BITMAPFILE_H

#include "bench/pictures/Image.h"

#include <stddef.h>
#include <stdint.h>

#include <string>

// The most a bitmap file may be: a bitmap of 4096 x 4096 pixels at 8 bits,
// with its headers, and some room.
constexpr size_t MostBitmapFileBytes = 17u << 20;

// The picture in the file at `path`. False, with `problem` saying what is
// wrong with it in a sentence without the path ("is cut short: ..."), when
// it cannot be read or is not such a bitmap.
bool ReadBitmapFile(const std::string& path, Image* out, std::string* problem);

// The same, from the file's bytes.
bool DecodeBitmapFile(const uint8_t* bytes, size_t size, Image* out, std::string* problem);

#endif
