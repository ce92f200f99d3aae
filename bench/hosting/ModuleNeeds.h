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

// Each appends the names the image needs to `needs`, each name once; false,
// with `what` saying what the file is instead ("an ELF file that is not a
// shared object", "an ELF shared object cut short: ..."), when the image is
// not a module of that kind or is malformed. A module that imports nothing
// says so with true and no names, never by being cut short.
bool ReadPeImports(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what);
// `searchPaths`, when given, gets the module's DT_RPATH and DT_RUNPATH
// lists as written ("$ORIGIN/lib:/opt/x").
bool ReadElfNeeds(const LittleEndianBytes& f, std::vector<std::string>* needs, std::string* what,
    std::vector<std::string>* searchPaths = nullptr);

#endif
