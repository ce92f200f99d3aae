// Decodes a bitmap resource as a host loads it: a device-independent bitmap
// (BITMAPINFOHEADER, colour table, pixel rows) with no file header. Only what
// gauge art uses is read: 8 bits a pixel, palettised, uncompressed, rows
// bottom-up (or top-down when the height is negative), each padded to 4
// bytes. The bytes come from a module the bench did not write, so every size
// is checked before anything is read.
#ifndef LUMIVANE_BENCH_DIB_H
#define LUMIVANE_BENCH_DIB_H

#include "bench/pictures/Image.h"

#include <stdint.h>

#include <string>

// False, with the reason in `problem`, when the bytes are not such a bitmap.
bool DecodeDib(const uint8_t* bytes, uint32_t size, Image* out, std::string* problem);

#endif
