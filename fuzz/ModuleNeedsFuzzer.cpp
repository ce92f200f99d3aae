// libFuzzer target for the walks that read which libraries a module file
// needs without loading it: the PE import descriptors and the ELF DT_NEEDED
// entries. The first byte picks the walk and the rest is the file, so one
// corpus serves both; each name found must be a real, bounded, nonempty name.
#include "bench/hosting/ModuleNeeds.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 1)
        return 0;
    const LittleEndianBytes file{bytes + 1, size - 1};
    std::vector<std::string> needs;
    std::string what;
    const bool elf = bytes[0] & 1;
    const bool read = elf ? ReadElfNeeds(file, &needs, &what) : ReadPeImports(file, &needs, &what);
    if (!read) {
        Require(!what.empty());
        return 0;
    }
    Require(needs.size() <= 1024);
    for (const std::string& name : needs)
        Require(!name.empty() && name.size() <= 255 && name.find('\0') == std::string::npos);
    return 0;
}
