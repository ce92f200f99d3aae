// The native build's last check before it trusts a module's resource
// section: that the section's bytes are among those loaded from the file,
// in one PT_LOAD segment of the module's program headers (bench/hosting/
// ModuleResourcesNative.cpp). `address` and `size` are the section's, as its
// header gives them, relative to the module's load base.
#ifndef LUMIVANE_BENCH_HOSTING_LOADEDSEGMENTS_H
#define LUMIVANE_BENCH_HOSTING_LOADEDSEGMENTS_H

#include <link.h>
#include <stddef.h>
#include <stdint.h>

bool InLoadedSegments(const ElfW(Phdr)* segments, size_t count, uint64_t address, uint64_t size);

#endif
