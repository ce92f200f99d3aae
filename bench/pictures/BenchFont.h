// The typeface the bench draws text with: Liberation Mono, which has the
// metrics of the "Courier New" the readout's record names (the same advance
// width and the same ascent and descent). Debian's fonts-liberation2 ships it
// under the SIL Open Font License 1.1, which allows it to be embedded in and
// shipped with a program unmodified; its copyright and licence travel inside
// the file's own name table.
#ifndef LUMIVANE_BENCH_BENCHFONT_H
#define LUMIVANE_BENCH_BENCHFONT_H

#include <stdint.h>

#include <string>
#include <vector>

// The font file's bytes, or false with a message saying what is missing and
// how to get it. Natively read from fonts-liberation2's file; the windows
// build carries the file inside the bench program.
bool LoadBenchFont(std::vector<uint8_t>* bytes, std::string* problem);

#endif
