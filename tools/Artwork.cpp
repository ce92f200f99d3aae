// Draws the panel's bitmaps and synthesises its beep. Everything here is
// deterministic: the same code writes the same bytes on every machine, so
// the committed art can be checked against it. Only five colours are ever
// used, and pure black (0,0,0) is the transparent one, so nothing meant to be
// seen may be drawn in it.
#include "tools/Artwork.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>

namespace {

// Colour-table positions shared by all seven bitmaps. Entries 0 to 215 are a
// 6x6x6 colour cube whose index is 36*g + 6*r + b with each component a
// multiple of 51, which puts these colours where the host's palette has them.
const uint8_t PureBlack = 216;  // (0,0,0): transparent, never drawn
const uint8_t NearBlack = 236;  // (4,4,4): the black that stays visible
const uint8_t LightGrey = 172;  // (204,204,204)
const uint8_t BrightRed = 30;   // (255,0,0)
const uint8_t DarkRed = 18;     // (153,0,0)

struct Rgb {
    uint8_t Red, Green, Blue;
};

Rgb PaletteEntry(int index)
{
    if (index < 216) {
        const int green = index / 36, red = index / 6 % 6, blue = index % 6;
        return {uint8_t(red * 51), uint8_t(green * 51), uint8_t(blue * 51)};
    }
    if (index == NearBlack)
        return {4, 4, 4};
    // Pure black at 216; the entries no pixel uses are left zero as well.
    return {0, 0, 0};
}

// An 8-bit picture, top row first, as it is drawn.
struct Picture {
    int Width, Height;
    std::vector<uint8_t> Pixels;

    Picture(int width, int height) : Width(width), Height(height), Pixels(size_t(width) * height, PureBlack) {}

    void Fill(int x, int y, int width, int height, uint8_t colour)
    {
        for (int row = y; row < y + height; ++row)
            for (int column = x; column < x + width; ++column)
                Pixels[size_t(row) * Width + column] = colour;
    }
};

void Put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

// A .bmp file: 14-byte file header, then the device-independent bitmap that
// becomes the resource: 40-byte BITMAPINFOHEADER, 256 colours, 8 bits per
// pixel, rows stored bottom-up and padded with zero bytes to 4 bytes.
std::vector<uint8_t> EncodeBitmap(const Picture& picture)
{
    const uint32_t rowBytes = (uint32_t(picture.Width) + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * uint32_t(picture.Height);
    const uint32_t headerBytes = 14 + 40 + 256 * 4;

    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, headerBytes + pixelBytes);
    Put32(out, 0); // two reserved words
    Put32(out, headerBytes);

    Put32(out, 40);
    Put32(out, uint32_t(picture.Width));
    Put32(out, uint32_t(picture.Height)); // positive: bottom-up rows
    Put16(out, 1);                        // planes
    Put16(out, 8);                        // bits per pixel
    Put32(out, 0);                        // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 0); // pixels per metre, x
    Put32(out, 0); // pixels per metre, y
    Put32(out, 256);
    Put32(out, 256);

    for (int index = 0; index < 256; ++index) {
        const Rgb colour = PaletteEntry(index);
        // RGBQUAD is stored blue, green, red, reserved.
        out.push_back(colour.Blue);
        out.push_back(colour.Green);
        out.push_back(colour.Red);
        out.push_back(0);
    }

    for (int row = picture.Height - 1; row >= 0; --row) {
        const uint8_t* first = &picture.Pixels[size_t(row) * picture.Width];
        out.insert(out.end(), first, first + picture.Width);
        out.insert(out.end(), rowBytes - uint32_t(picture.Width), 0);
    }
    return out;
}

// The background: transparent except the three lamp wells, the three
// selector squares and the readout field.
Picture Background()
{
    Picture picture(100, 70);
    picture.Fill(24, 15, 16, 4, NearBlack);
    picture.Fill(49, 15, 16, 4, NearBlack);
    picture.Fill(74, 15, 16, 4, NearBlack);
    picture.Fill(8, 16, 8, 7, LightGrey);
    picture.Fill(8, 35, 8, 7, LightGrey);
    picture.Fill(8, 54, 8, 7, LightGrey);
    picture.Fill(25, 35, 63, 26, NearBlack);
    return picture;
}

// A lit lamp: a red bar with darker ends, placed so that at the lamp's
// position (22,7 and so on) it falls exactly on its well.
Picture Lamp()
{
    Picture picture(20, 20);
    picture.Fill(2, 8, 16, 4, DarkRed);
    picture.Fill(4, 8, 12, 4, BrightRed);
    return picture;
}

// A shown selector mark lights its square like a lamp: bright red with a
// one-pixel dark red edge. An all-black mark would be transparent and leave
// the pilot no way to see which speed is selected. The mark sits one column
// left of and three rows above its square, so the square is at 1,3.
Picture SelectorMark()
{
    Picture picture(10, 13);
    picture.Fill(1, 3, 8, 7, DarkRed);
    picture.Fill(2, 4, 6, 5, BrightRed);
    return picture;
}

// The clips: RIFF/WAVE, PCM, mono, 11025 samples a second, 8 bits unsigned
// (silence 128), with the canonical 44-byte header and nothing after the
// samples.
const uint32_t SampleRate = 11025;
const size_t BeepSamples = 694;

std::vector<uint8_t> EncodeWave(const std::vector<uint8_t>& samples)
{
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, uint32_t(4 + 8 + 16 + 8 + samples.size()));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, SampleRate);
    Put32(out, SampleRate); // average bytes per second
    Put16(out, 1);          // block align
    Put16(out, 8);          // bits per sample
    PutTag(out, "data");
    Put32(out, uint32_t(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// Silence of the given length with the beep laid in at each start sample.
std::vector<uint8_t> Clip(size_t samples, std::initializer_list<size_t> beepStarts)
{
    std::vector<uint8_t> clip(samples, 128);
    const std::vector<uint8_t> beep = MakeBeep();
    for (size_t start : beepStarts)
        for (size_t n = 0; n < beep.size(); ++n)
            clip[start + n] = beep[n];
    return clip;
}

} // namespace

std::vector<uint8_t> MakeBeep()
{
    // A steady buzzy tone with no fade: three quarters of its energy near
    // 2.22 kHz, a seventh near 4.37 kHz, 4 % near 1.16 kHz and the rest in
    // three weaker partials that give it its buzz. Each partial sits on a
    // whole number of cycles in the 694 samples, so the beep's spectrum has no
    // leakage and its energy shares are exactly those given here (less the
    // rounding to 8 bits). The phases were chosen so that the rounded samples
    // peak at -21 and +18 about the midpoint, with an RMS of about 8, and so
    // that the first and last samples are well off the midpoint: the beep
    // starts and stops at full level, and its ends can be found in the clip.
    struct Partial {
        int Cycles;   // cycles per beep; frequency = Cycles * 11025 / 694
        double Share; // of the beep's energy
        double Phase; // radians
    };
    static const Partial partials[] = {
        {140, 0.750, 6.09}, // 2224 Hz
        {275, 0.143, 4.88}, // 4369 Hz
        {73, 0.040, 5.89},  // 1160 Hz
        {208, 0.035, 3.98}, // 3304 Hz
        {345, 0.020, 5.08}, // 5481 Hz
        {35, 0.012, 5.56},  // 556 Hz
    };
    const double rms = 8.0;
    const double pi = 3.14159265358979323846;

    std::vector<uint8_t> beep(BeepSamples);
    for (size_t n = 0; n < BeepSamples; ++n) {
        double value = 0;
        for (const Partial& partial : partials) {
            // A sine of amplitude a carries a*a/2 of power.
            const double amplitude = std::sqrt(2 * partial.Share) * rms;
            value += amplitude * std::sin(2 * pi * partial.Cycles * double(n) / double(BeepSamples) + partial.Phase);
        }
        beep[n] = uint8_t(128 + std::lround(value));
    }
    return beep;
}

std::vector<ArtFile> MakeArtwork()
{
    const std::vector<uint8_t> lamp = EncodeBitmap(Lamp());
    const std::vector<uint8_t> mark = EncodeBitmap(SelectorMark());
    return {
        {"Background.bmp", EncodeBitmap(Background())},
        {"Lamp1.bmp", lamp},
        {"Lamp2.bmp", lamp},
        {"Lamp3.bmp", lamp},
        {"Speed1Mark.bmp", mark},
        {"Speed2Mark.bmp", mark},
        {"Speed3Mark.bmp", mark},
        // One beep and about 200 ms of silence.
        {"Wave1.wav", EncodeWave(Clip(2924, {3}))},
        // The same beep twice, 1620 samples (about 147 ms) apart.
        {"Wave2.wav", EncodeWave(Clip(3784, {3, 1623}))},
    };
}
