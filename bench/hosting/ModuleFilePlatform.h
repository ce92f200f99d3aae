// What each build's module file (ModuleFileWindows.cpp, ModuleFileElf.cpp,
// ModuleFileWeb.cpp) gives the loading every build shares (ModuleFile.cpp):
// the module opened the system's way, an export found by name, the module let
// go; and for the builds that read the module's file before loading it, the
// reading they share. Only bench/hosting/ModuleFile*.cpp include it.
#ifndef LUMIVANE_BENCH_HOSTING_MODULEFILEPLATFORM_H
#define LUMIVANE_BENCH_HOSTING_MODULEFILEPLATFORM_H

#include <stdint.h>

#include <string>
#include <vector>

// LoadLibrary, dlopen or the page's linked module: a handle, or null with
// `error` saying why in one sentence that names `path`.
void* OpenModuleFile(const std::string& path, std::string* error);
// GetProcAddress or dlsym: the export's address, or null.
void* FindModuleExport(void* handle, const char* name);
void CloseModuleFile(void* handle);

// The module's file, read as every file a user names is (bounded, regular
// files only); false with `error` when it cannot be.
bool ReadModuleBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
// The sentence for a file that is not a module this build loads: `what` says
// what it is instead, when the reader could tell; `wanted` what would do.
std::string NotAModuleHere(const std::string& path, const std::vector<uint8_t>& bytes, const std::string& what,
    const char* wanted);
// Whether the bytes start as a PE image (MZ) or an ELF file does.
bool StartsAsPe(const std::vector<uint8_t>& bytes);
bool StartsAsElf(const std::vector<uint8_t>& bytes);

#endif
