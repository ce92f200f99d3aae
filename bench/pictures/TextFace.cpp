// Rasterises a TrueType face with stb_truetype (Debian's libstb-dev) and
// draws text from the glyphs it keeps. The font file is read only while
// Load runs; what a frame needs afterwards is in the glyphs.
#include "bench/pictures/TextFace.h"

#include <stb/stb_truetype.h>

#include <math.h>

namespace {

int Round(float value)
{
    return int(floorf(value + 0.5f));
}

} // namespace

bool TextFace::Load(const uint8_t* font, size_t size, int cellHeight, std::string* problem)
{
    cellHeight_ = 0;
    stbtt_fontinfo info;
    // stb_truetype trusts the tables' offsets; at least the table directory
    // must be there before it is handed the bytes.
    if (!font || size < 12 || size > 0x7FFFFFFF) {
        *problem = "not a TrueType file (" + std::to_string(size) + " bytes)";
        return false;
    }
    const int offset = stbtt_GetFontOffsetForIndex(font, 0);
    if (offset < 0 || !stbtt_InitFont(&info, font, offset)) {
        *problem = "not a TrueType font stb_truetype can read";
        return false;
    }
    const float scale = stbtt_ScaleForPixelHeight(&info, float(cellHeight));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    ascent_ = Round(float(ascent) * scale);

    auto rasterise = [&](int glyphIndex, Glyph* glyph) {
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&info, glyphIndex, &advance, &bearing);
        glyph->Advance = Round(float(advance) * scale);
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        stbtt_GetGlyphBitmapBox(&info, glyphIndex, scale, scale, &x0, &y0, &x1, &y1);
        glyph->OffsetX = x0;
        glyph->OffsetY = y0;
        glyph->Width = x1 > x0 ? x1 - x0 : 0;
        glyph->Height = y1 > y0 ? y1 - y0 : 0;
        glyph->Coverage.assign(size_t(glyph->Width) * size_t(glyph->Height), 0);
        if (!glyph->Coverage.empty())
            stbtt_MakeGlyphBitmap(&info, glyph->Coverage.data(), glyph->Width, glyph->Height, glyph->Width, scale,
                scale, glyphIndex);
    };
    for (int c = FirstCharacter; c <= LastCharacter; ++c)
        rasterise(stbtt_FindGlyphIndex(&info, c), &glyphs_[c - FirstCharacter]);
    rasterise(0, &missing_);
    cellHeight_ = cellHeight;
    return true;
}

const TextFace::Glyph& TextFace::GlyphOf(char c) const
{
    const int code = static_cast<unsigned char>(c);
    return code >= FirstCharacter && code <= LastCharacter ? glyphs_[code - FirstCharacter] : missing_;
}

int TextFace::Width(const char* text, size_t length) const
{
    int width = 0;
    for (size_t i = 0; i < length && text[i]; ++i)
        width += GlyphOf(text[i]).Advance;
    return width;
}

void TextFace::Draw(Image& image, int left, int top, const char* text, Rgb colour, PixelBox clip, size_t length) const
{
    if (!Loaded())
        return;
    if (clip.Left < 0)
        clip.Left = 0;
    if (clip.Top < 0)
        clip.Top = 0;
    if (clip.Right > image.Width)
        clip.Right = image.Width;
    if (clip.Bottom > image.Height)
        clip.Bottom = image.Height;
    const int baseline = top + ascent_;
    int pen = left;
    for (size_t i = 0; i < length && text[i]; ++i) {
        const Glyph& glyph = GlyphOf(text[i]);
        const int x0 = pen + glyph.OffsetX, y0 = baseline + glyph.OffsetY;
        for (int gy = 0; gy < glyph.Height; ++gy) {
            const int y = y0 + gy;
            if (y < clip.Top || y >= clip.Bottom)
                continue;
            const uint8_t* coverage = glyph.Coverage.data() + size_t(gy) * size_t(glyph.Width);
            uint8_t* row = image.Row(y);
            for (int gx = 0; gx < glyph.Width; ++gx) {
                const int x = x0 + gx;
                const unsigned a = coverage[gx];
                if (!a || x < clip.Left || x >= clip.Right)
                    continue;
                uint8_t* p = row + size_t(x) * 3;
                p[0] = uint8_t((p[0] * (255 - a) + colour.R * a + 127) / 255);
                p[1] = uint8_t((p[1] * (255 - a) + colour.G * a + 127) / 255);
                p[2] = uint8_t((p[2] * (255 - a) + colour.B * a + 127) / 255);
            }
        }
        pen += glyph.Advance;
    }
}
