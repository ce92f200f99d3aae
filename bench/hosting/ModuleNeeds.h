// The libraries a module file says it needs, read without loading it: the
// import descriptors of a 32-bit PE image and the DT_NEEDED entries of a
// 64-bit ELF shared object. The bytes are any file a user names, so every
// offset is checked before it is read (bench/files/LittleEndian.h) and a
// table that points past the end is a plain "not a module" answer.
#ifndef LUMIVANE_BENCH_HOSTING_MODULENEEDS_H
#define LUMIVANE_BENCH_HOSTING_MODULENEEDS_H

#include "bench/files/LittleEndian.h"

#include <string>
#include <vector>

// Each appends the names the image needs to `needs`; false, with `what`
// saying what the file is instead ("an ELF file that is not a shared
// object"), when the image is not a module of that kind.
bool ReadPeImports(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what);
bool ReadElfNeeds(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what);

#endif
