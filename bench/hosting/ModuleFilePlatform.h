// What each build's module file (ModuleFileWindows.cpp, ModuleFileElf.cpp,
// ModuleFileWeb.cpp) gives the loading every build shares (ModuleFile.cpp):
// the module opened the system's way, an export found by name, the module let
// go; and for the builds that read the module's file before loading it, what
// their reading needs of each. Only bench/hosting/ModuleFile*.cpp and their
// tests include it.
#ifndef LUMIVANE_BENCH_HOSTING_MODULEFILEPLATFORM_H
#define LUMIVANE_BENCH_HOSTING_MODULEFILEPLATFORM_H

#include "bench/hosting/ModuleFile.h"

#include <stdint.h>

#include <string>
#include <vector>

// LoadLibrary, dlopen or the page's linked module: a handle, or null with
// `error` saying why in one sentence that names `path`.
void* OpenModuleFile(const std::string& path, std::string* error);
// GetProcAddress or dlsym: the export's address, or null.
void* FindModuleExport(void* handle, const char* name);
void CloseModuleFile(void* handle);

// For the builds that read the module's file before loading it
// (ModuleFileRead.cpp): what this build loads, for messages ("a 32-bit Windows
// DLL"), and the libraries a module of that kind needs, read from the file's
// bytes, with those this system would not find; false, with `what` saying
// what the file is instead when the reader can tell, for any other file.
extern const char* const LoadableModule;
bool ReadOwnNeeds(const std::vector<uint8_t>& bytes, const std::string& path, ModuleFileFacts* facts,
    std::string* what);
// The ELF build: where the dynamic loader would look for a module's
// libraries, in its order: the module's own search paths (`$ORIGIN` being
// `moduleFolder`), LD_LIBRARY_PATH, the folders the loader's `configuration`
// file lists (its include lines followed, with their wildcards, four deep),
// then the standard folders.
std::vector<std::string> LoaderFolders(const std::vector<std::string>& modulePaths, const std::string& moduleFolder,
    const std::string& configuration);
// Whether the loader would find `library`, a needed name, in `folders`: a
// name with a slash is a path of its own, taken as it is; a name without one
// is looked for in each folder. Only a regular file counts.
bool SystemFinds(const std::string& library, const std::vector<std::string>& folders);
// Whether the bytes start as a PE image (MZ) or an ELF file does.
bool StartsAsPe(const std::vector<uint8_t>& bytes);
bool StartsAsElf(const std::vector<uint8_t>& bytes);

#endif
