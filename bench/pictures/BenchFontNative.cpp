// The bench's typeface for the native build, read from the file Debian's
// fonts-liberation2 installs (tools/install-deps installs it).
#include "bench/pictures/BenchFont.h"

#include "bench/files/Files.h"

namespace {

const char FontPath[] = "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf";

} // namespace

bool LoadBenchFont(std::vector<uint8_t>* bytes, std::string* problem)
{
    if (!ReadWholeFile(FontPath, bytes, problem)) {
        *problem += " (Debian package fonts-liberation2)";
        return false;
    }
    return true;
}
