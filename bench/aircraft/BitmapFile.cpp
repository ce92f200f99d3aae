// The file header as Windows documents it ("BITMAPFILEHEADER structure"):
// "BM" at 0, the file's size at 2 (which writers get wrong, so it is not
// trusted), and at 10 the offset of the pixel rows, which a bitmap of 256
// colours has right after its colour table; the info header follows at 14.
#include "bench/aircraft/BitmapFile.h"

#include "bench/files/Files.h"
#include "bench/files/LittleEndian.h"
#include "bench/pictures/Dib.h"

#include <stdint.h>

#include <vector>

namespace {

const uint32_t FileHeaderBytes = 14;
const uint32_t InfoHeaderBytes = 40;

bool Fail(std::string* problem, const std::string& why)
{
    *problem = why;
    return false;
}

} // namespace

bool ReadBitmapFile(const std::string& path, Image* out, std::string* problem)
{
    *out = Image();
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadWholeFile(path, &bytes, &why, MostBitmapFileBytes))
        return Fail(problem, "cannot be read: " + why);
    return DecodeBitmapFile(bytes.data(), bytes.size(), out, problem);
}

bool DecodeBitmapFile(const uint8_t* bytes, size_t size, Image* out, std::string* problem)
{
    *out = Image();
    std::string why;
    if (size > MostBitmapFileBytes)
        return Fail(problem, "is more than the " + std::to_string(MostBitmapFileBytes >> 20) + " MB the bench reads");
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return Fail(problem, "is not a bitmap: it does not begin with BM");
    if (size < FileHeaderBytes + InfoHeaderBytes)
        return Fail(problem, "is cut short: " + std::to_string(size) + " bytes, fewer than its two headers");
    const uint8_t* info = bytes + FileHeaderBytes;
    // Where the decoder expects the rows: after the info header and a colour
    // table of biClrUsed entries (all 256 when it is 0).
    const uint32_t rowsAt = Little32(bytes + 10), colours = Little32(info + 32);
    const uint64_t expected = uint64_t(FileHeaderBytes) + Little32(info) + uint64_t(colours ? colours : 256) * 4;
    if (Little16(info + 14) == 8 && colours <= 256 && rowsAt != expected)
        return Fail(problem, "has its pixel rows at byte " + std::to_string(rowsAt) + ", not right after its colour "
            "table at " + std::to_string(expected) + ", which the bench does not read");
    // The decoder's sizes are 32-bit; the file is at most MostBitmapFileBytes.
    if (!DecodeDib(info, uint32_t(size - FileHeaderBytes), out, &why)) {
        if (why.compare(0, 6, "needs ") == 0)
            return Fail(problem, "is cut short: after its file header it " + why);
        if (why.compare(0, 5, "size ") == 0)
            return Fail(problem, "is " + why.substr(5) + " pixels, not from 1 to 4096 each way");
        return Fail(problem, "is not a bitmap the bench reads (256 colours, uncompressed): " + why);
    }
    return true;
}
