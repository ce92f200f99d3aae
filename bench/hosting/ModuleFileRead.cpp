// Reading a module's file before it is loaded, for the builds that load one
// from a file (the windows and native benches): the file is read as every
// file a user names is, bounded and regular files only, and handed to this
// build's reader of its kind (ModuleFilePlatform.h). A file of another kind
// is named for what it is and what would do, in one sentence.
#include "bench/hosting/ModuleFile.h"

#include "bench/files/Files.h"
#include "bench/hosting/ModuleFilePlatform.h"

#include <string.h>

bool ReadModuleFile(const std::string& path, ModuleFileFacts* facts, std::string* error)
{
    *facts = ModuleFileFacts();
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!ReadWholeFile(path, &bytes, &problem)) {
        *error = "cannot read the module: " + problem;
        return false;
    }
    std::string what;
    if (ReadOwnNeeds(bytes, path, facts, &what))
        return true;
    if (what.empty())
        what = bytes.empty() ? "an empty file" : "neither a DLL nor a shared object";
    *error = path + " is not a gauge module this bench can load: it is " + what + " (wanted " + LoadableModule + ")";
    return false;
}

bool StartsAsPe(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z';
}

bool StartsAsElf(const std::vector<uint8_t>& bytes)
{
    return bytes.size() >= 4 && memcmp(bytes.data(), "\x7F" "ELF", 4) == 0;
}
