// A picture as the bench keeps it: 8-bit RGB, three bytes a pixel, rows from
// the top, no padding. The panel, the bitmaps decoded from a module and the
// frames written out are all of this one kind, so a frame can be compared
// with another pixel by pixel.
#ifndef LUMIVANE_BENCH_IMAGE_H
#define LUMIVANE_BENCH_IMAGE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct Rgb {
    uint8_t R, G, B;
    bool operator==(const Rgb& other) const { return R == other.R && G == other.G && B == other.B; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

// A Windows COLORREF, 0x00bbggrr, as the host's records give colours.
inline Rgb FromColorRef(uint32_t colour)
{
    return {uint8_t(colour), uint8_t(colour >> 8), uint8_t(colour >> 16)};
}

struct Image {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // Width * Height * 3 bytes

    Image() = default;
    Image(int width, int height, Rgb fill = {0, 0, 0}) : Width(width), Height(height)
    {
        Pixels.resize(size_t(width) * size_t(height) * 3);
        Fill(fill);
    }

    void Fill(Rgb colour)
    {
        for (size_t at = 0; at < Pixels.size(); at += 3) {
            Pixels[at] = colour.R;
            Pixels[at + 1] = colour.G;
            Pixels[at + 2] = colour.B;
        }
    }

    uint8_t* Row(int y) { return Pixels.data() + size_t(y) * size_t(Width) * 3; }
    const uint8_t* Row(int y) const { return Pixels.data() + size_t(y) * size_t(Width) * 3; }

    Rgb At(int x, int y) const
    {
        const uint8_t* p = Row(y) + size_t(x) * 3;
        return {p[0], p[1], p[2]};
    }

    void Set(int x, int y, Rgb colour)
    {
        uint8_t* p = Row(y) + size_t(x) * 3;
        p[0] = colour.R;
        p[1] = colour.G;
        p[2] = colour.B;
    }

    bool operator==(const Image& other) const
    {
        return Width == other.Width && Height == other.Height && Pixels == other.Pixels;
    }
    bool operator!=(const Image& other) const { return !(*this == other); }
};

#endif
