// The BITMAPINFOHEADER fields as Windows documents them ("BITMAPINFOHEADER
// structure"): biSize at 0, biWidth 4, biHeight 8, biPlanes 12, biBitCount 14,
// biCompression 16, biClrUsed 32; the colour table of RGBQUADs (blue, green,
// red, reserved) follows the header at biSize, and the rows follow the table.
// Read byte by byte; no struct is laid over the bytes.
#include "bench/pictures/Dib.h"

#include "bench/files/LittleEndian.h"

#include <utility>

namespace {

// Larger than any gauge's art; keeps every product below in range.
const int32_t MostPixelsAcross = 4096;
const uint32_t InfoHeaderBytes = 40;
const uint32_t BiRgb = 0;

bool Fail(std::string* problem, const std::string& why)
{
    *problem = why;
    return false;
}

} // namespace

bool DecodeDib(const uint8_t* bytes, uint32_t size, Image* out, std::string* problem)
{
    *out = Image();
    if (!bytes || size < InfoHeaderBytes)
        return Fail(problem, "shorter than a bitmap info header (" + std::to_string(size) + " bytes)");
    const uint32_t headerBytes = Little32(bytes);
    if (headerBytes < InfoHeaderBytes || headerBytes > size)
        return Fail(problem, "header size " + std::to_string(headerBytes) + " in a resource of " +
                                 std::to_string(size) + " bytes (a file header left in?)");
    const int32_t width = int32_t(Little32(bytes + 4));
    const int32_t storedHeight = int32_t(Little32(bytes + 8));
    const bool topDown = storedHeight < 0;
    if (width <= 0 || width > MostPixelsAcross || storedHeight == 0 || storedHeight < -MostPixelsAcross ||
        storedHeight > MostPixelsAcross)
        return Fail(problem, "size " + std::to_string(width) + " x " + std::to_string(storedHeight));
    const int32_t height = topDown ? -storedHeight : storedHeight;
    if (Little16(bytes + 12) != 1 || Little16(bytes + 14) != 8 || Little32(bytes + 16) != BiRgb)
        return Fail(problem, "not one plane of 8 bits a pixel, uncompressed (" + std::to_string(Little16(bytes + 14)) +
                                 " bits, compression " + std::to_string(Little32(bytes + 16)) + ")");
    uint32_t colours = Little32(bytes + 32);
    if (colours == 0)
        colours = 256;
    if (colours > 256)
        return Fail(problem, std::to_string(colours) + " colours for 8 bits a pixel");

    const uint64_t tableBytes = uint64_t(colours) * 4;
    const uint64_t rowBytes = (uint64_t(width) + 3) / 4 * 4;
    const uint64_t needed = uint64_t(headerBytes) + tableBytes + rowBytes * uint64_t(height);
    if (needed > size)
        return Fail(problem, "needs " + std::to_string(needed) + " bytes, has " + std::to_string(size));

    Rgb table[256];
    const uint8_t* quad = bytes + headerBytes;
    for (uint32_t i = 0; i < colours; ++i, quad += 4)
        table[i] = {quad[2], quad[1], quad[0]};

    Image image(width, height);
    const uint8_t* rows = bytes + headerBytes + tableBytes;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = rows + rowBytes * uint64_t(topDown ? y : height - 1 - y);
        for (int32_t x = 0; x < width; ++x) {
            if (row[x] >= colours)
                return Fail(problem, "pixel " + std::to_string(x) + "," + std::to_string(y) + " uses colour " +
                                         std::to_string(row[x]) + " of " + std::to_string(colours));
            image.Set(x, y, table[row[x]]);
        }
    }
    *out = std::move(image);
    return true;
}
