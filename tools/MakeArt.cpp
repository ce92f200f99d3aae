// Writes the gauge's nine art files into a folder, normally resources/:
//   lumivane_make_art resources
// Run it after changing tools/Artwork.cpp and commit what it writes; the
// regeneration test fails until the committed files match the code again.
#include "tools/Artwork.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    for (const ArtFile& file : MakeArtwork()) {
        const std::string path = folder + "/" + file.Name;
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) {
            std::perror(path.c_str());
            return 1;
        }
        const size_t written = std::fwrite(file.Bytes.data(), 1, file.Bytes.size(), out);
        if (std::fclose(out) != 0 || written != file.Bytes.size()) {
            std::fprintf(stderr, "%s: could not write all %zu bytes\n", path.c_str(), file.Bytes.size());
            return 1;
        }
    }
    return 0;
}
