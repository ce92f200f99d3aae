// The bench's typeface for the native build, read from the file Debian's
// fonts-liberation2 installs (tools/install-deps installs it).
#include "bench/BenchFont.h"

#include <stdio.h>

namespace {

const char FontPath[] = "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf";

} // namespace

bool LoadBenchFont(std::vector<uint8_t>* bytes, std::string* problem)
{
    bytes->clear();
    FILE* file = fopen(FontPath, "rb");
    if (!file) {
        *problem = std::string("cannot open ") + FontPath + " (Debian package fonts-liberation2)";
        return false;
    }
    uint8_t block[65536];
    size_t read = 0;
    while ((read = fread(block, 1, sizeof block, file)) > 0)
        bytes->insert(bytes->end(), block, block + read);
    const bool failed = ferror(file) != 0;
    fclose(file);
    if (failed || bytes->empty()) {
        *problem = std::string("cannot read ") + FontPath;
        bytes->clear();
        return false;
    }
    return true;
}
