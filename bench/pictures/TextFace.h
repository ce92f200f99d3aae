// One typeface at one pixel height, its glyphs rasterised once when it is
// loaded (stb_truetype), so that drawing text is only blending precomputed
// coverage into an image: no allocation and no rasterising while a run is
// painted. Characters are placed the way GDI places them: whole-pixel
// advances from the font's advance widths, no kerning, and the line's cell is
// the font's ascent plus descent scaled to the pixel height.
#ifndef LUMIVANE_BENCH_TEXTFACE_H
#define LUMIVANE_BENCH_TEXTFACE_H

#include "bench/pictures/Image.h"

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// A rectangle of pixels: columns Left to Right - 1, rows Top to Bottom - 1.
struct PixelBox {
    int Left, Top, Right, Bottom;
};

class TextFace {
public:
    // `font`: a TrueType file, needed only while this call runs. `cellHeight`:
    // the line's height in pixels, ascent plus descent, as GDI's font height.
    bool Load(const uint8_t* font, size_t size, int cellHeight, std::string* problem);
    bool Loaded() const { return cellHeight_ > 0; }

    int CellHeight() const { return cellHeight_; }
    // The width of `text` up to its zero or `length` bytes, whichever comes first.
    int Width(const char* text, size_t length = size_t(-1)) const;

    // Draws `text` with its cell's top-left at left, top, blending `colour`
    // over what the image holds by each pixel's coverage; nothing outside `clip`.
    void Draw(Image& image, int left, int top, const char* text, Rgb colour, PixelBox clip,
        size_t length = size_t(-1)) const;

private:
    struct Glyph {
        int Advance = 0;
        int OffsetX = 0, OffsetY = 0; // of the coverage's top-left from the pen on the baseline
        int Width = 0, Height = 0;
        std::vector<uint8_t> Coverage; // 0 to 255, rows from the top
    };
    const Glyph& GlyphOf(char c) const;

    static const int FirstCharacter = 32, LastCharacter = 126;
    Glyph glyphs_[LastCharacter - FirstCharacter + 1];
    Glyph missing_; // the font's own glyph for a character it lacks
    int cellHeight_ = 0;
    int ascent_ = 0;
};

#endif
