// The seven bitmaps as the host will load them: their headers, their shared
// colour table, and every pixel of the background, the lamps and the selector
// marks, including how each lamp and mark lands on the background. Pixels
// are read back through the resource calls, so a bitmap left out of the
// module, or embedded with its file header, fails here in either build.
#include "ResourceImage.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const int PureBlack = 216, NearBlack = 236, LightGrey = 172, BrightRed = 30, DarkRed = 18;
const DWORD InfoBytes = 40, PaletteBytes = 256 * 4;

struct Bitmap {
    int Id;
    int Width, Height;
    DWORD RowBytes, PixelBytes, ResourceBytes;
};

const Bitmap Bitmaps[] = {
    {4096, 100, 70, 100, 7000, 8064},
    {8192, 20, 20, 20, 400, 1464},
    {8195, 20, 20, 20, 400, 1464},
    {8198, 20, 20, 20, 400, 1464},
    {12288, 10, 13, 12, 156, 1220},
    {12291, 10, 13, 12, 156, 1220},
    {12294, 10, 13, 12, 156, 1220},
};

// A bitmap's pixels as colour-table positions, top row first.
struct Pixels {
    int Width = 0, Height = 0;
    std::vector<int> At;
    int operator()(int x, int y) const { return At[size_t(y) * Width + x]; }
};

ResourceImage FindBitmap(int id)
{
    return ResourceImage::Find(MAKEINTRESOURCEA(id), RT_BITMAP);
}

Pixels Decode(const ResourceImage& image, const Bitmap& bitmap)
{
    Pixels pixels;
    pixels.Width = bitmap.Width;
    pixels.Height = bitmap.Height;
    for (int y = 0; y < bitmap.Height; ++y) {
        // Rows are stored bottom-up.
        const DWORD row = InfoBytes + PaletteBytes + DWORD(bitmap.Height - 1 - y) * bitmap.RowBytes;
        for (int x = 0; x < bitmap.Width; ++x)
            pixels.At.push_back(image.Bytes[row + DWORD(x)]);
    }
    return pixels;
}

Pixels Load(int id)
{
    for (const Bitmap& bitmap : Bitmaps)
        if (bitmap.Id == id) {
            const ResourceImage image = FindBitmap(id);
            if (image.Bytes && image.Size == bitmap.ResourceBytes)
                return Decode(image, bitmap);
        }
    return Pixels();
}

struct Rect {
    int X, Y, Width, Height, Colour;
    bool Contains(int x, int y) const { return x >= X && x < X + Width && y >= Y && y < Y + Height; }
};

// What a lamp or mark picture should hold: pure black outside the rectangles,
// the later rectangle winning where two overlap.
int Expected(const std::vector<Rect>& rects, int x, int y)
{
    int colour = PureBlack;
    for (const Rect& rect : rects)
        if (rect.Contains(x, y))
            colour = rect.Colour;
    return colour;
}

void ExpectPicture(const Pixels& pixels, const std::vector<Rect>& rects, const char* what)
{
    ASSERT_FALSE(pixels.At.empty()) << what << " was not found or has the wrong size";
    int wrong = 0;
    for (int y = 0; y < pixels.Height; ++y)
        for (int x = 0; x < pixels.Width; ++x)
            if (pixels(x, y) != Expected(rects, x, y) && ++wrong <= 5)
                ADD_FAILURE() << what << " pixel " << x << "," << y << " is " << pixels(x, y) << ", expected "
                              << Expected(rects, x, y);
    EXPECT_EQ(wrong, 0) << what << ": pixels that differ";
}

} // namespace

TEST(Bitmaps, HeadersAreEightBitBottomUpWith256Colours)
{
    for (const Bitmap& bitmap : Bitmaps) {
        const ResourceImage image = FindBitmap(bitmap.Id);
        ASSERT_NE(image.Bytes, nullptr) << "FindResourceA(" << bitmap.Id << ", RT_BITMAP)";
        ASSERT_EQ(image.Size, bitmap.ResourceBytes) << "SizeofResource of bitmap " << bitmap.Id;
        EXPECT_EQ(image.U32(0), InfoBytes) << "biSize of " << bitmap.Id << " (a file header would put 'BM' here)";
        EXPECT_EQ(image.I32(4), bitmap.Width) << "biWidth of " << bitmap.Id;
        EXPECT_EQ(image.I32(8), bitmap.Height) << "biHeight of " << bitmap.Id << " (positive: bottom-up)";
        EXPECT_EQ(image.U16(12), 1) << "biPlanes of " << bitmap.Id;
        EXPECT_EQ(image.U16(14), 8) << "biBitCount of " << bitmap.Id;
        EXPECT_EQ(image.U32(16), 0u) << "biCompression of " << bitmap.Id << " (BI_RGB)";
        EXPECT_EQ(image.U32(20), bitmap.PixelBytes) << "biSizeImage of " << bitmap.Id;
        EXPECT_EQ(image.I32(24), 0) << "biXPelsPerMeter of " << bitmap.Id;
        EXPECT_EQ(image.I32(28), 0) << "biYPelsPerMeter of " << bitmap.Id;
        EXPECT_EQ(image.U32(32), 256u) << "biClrUsed of " << bitmap.Id;
        EXPECT_EQ(image.U32(36), 256u) << "biClrImportant of " << bitmap.Id;
        EXPECT_EQ(InfoBytes + PaletteBytes + bitmap.PixelBytes, bitmap.ResourceBytes);
    }
}

TEST(Bitmaps, PaletteHoldsTheColourCubeAndTheFiveColoursInPlace)
{
    for (const Bitmap& bitmap : Bitmaps) {
        const ResourceImage image = FindBitmap(bitmap.Id);
        ASSERT_EQ(image.Size, bitmap.ResourceBytes) << bitmap.Id;
        // RGBQUAD: blue, green, red, reserved.
        auto entry = [&](int index) {
            const BYTE* quad = image.Bytes + InfoBytes + 4 * index;
            return std::vector<int>{quad[2], quad[1], quad[0], quad[3]};
        };
        for (int index = 0; index < 216; ++index) {
            const int green = index / 36, red = index / 6 % 6, blue = index % 6;
            EXPECT_EQ(entry(index), (std::vector<int>{red * 51, green * 51, blue * 51, 0}))
                << "colour cube entry " << index << " of bitmap " << bitmap.Id;
        }
        EXPECT_EQ(entry(PureBlack), (std::vector<int>{0, 0, 0, 0})) << "pure black of " << bitmap.Id;
        EXPECT_EQ(entry(NearBlack), (std::vector<int>{4, 4, 4, 0})) << "near-black of " << bitmap.Id;
        EXPECT_EQ(entry(LightGrey), (std::vector<int>{204, 204, 204, 0})) << "light grey of " << bitmap.Id;
        EXPECT_EQ(entry(BrightRed), (std::vector<int>{255, 0, 0, 0})) << "bright red of " << bitmap.Id;
        EXPECT_EQ(entry(DarkRed), (std::vector<int>{153, 0, 0, 0})) << "dark red of " << bitmap.Id;
    }
}

TEST(Bitmaps, OnlyTheFiveColoursAreUsedAndRowPaddingIsZero)
{
    const std::set<int> allowed = {PureBlack, NearBlack, LightGrey, BrightRed, DarkRed};
    for (const Bitmap& bitmap : Bitmaps) {
        const ResourceImage image = FindBitmap(bitmap.Id);
        ASSERT_EQ(image.Size, bitmap.ResourceBytes) << bitmap.Id;
        for (int row = 0; row < bitmap.Height; ++row) {
            const BYTE* first = image.Bytes + InfoBytes + PaletteBytes + DWORD(row) * bitmap.RowBytes;
            for (int x = 0; x < bitmap.Width; ++x)
                ASSERT_TRUE(allowed.count(first[x])) << "bitmap " << bitmap.Id << " stored row " << row << " column "
                                                     << x << " uses entry " << int(first[x]);
            for (DWORD x = DWORD(bitmap.Width); x < bitmap.RowBytes; ++x)
                ASSERT_EQ(first[x], 0) << "padding of bitmap " << bitmap.Id << " stored row " << row;
        }
    }
}

TEST(Bitmaps, BackgroundIsTransparentExceptItsSevenRectangles)
{
    ExpectPicture(Load(4096),
        {
            {24, 15, 16, 4, NearBlack}, // lamp wells
            {49, 15, 16, 4, NearBlack},
            {74, 15, 16, 4, NearBlack},
            {8, 16, 8, 7, LightGrey}, // selector squares
            {8, 35, 8, 7, LightGrey},
            {8, 54, 8, 7, LightGrey},
            {25, 35, 63, 26, NearBlack}, // readout field
        },
        "background 4096");
}

TEST(Bitmaps, LampsAreARedBarWithDarkerEnds)
{
    for (int id : {8192, 8195, 8198})
        ExpectPicture(Load(id),
            {
                {2, 8, 2, 4, DarkRed},
                {4, 8, 12, 4, BrightRed},
                {16, 8, 2, 4, DarkRed},
            },
            id == 8192 ? "lamp 8192" : id == 8195 ? "lamp 8195" : "lamp 8198");
}

TEST(Bitmaps, SelectorMarksLightTheirSquareInRedWithADarkEdge)
{
    for (int id : {12288, 12291, 12294})
        ExpectPicture(Load(id),
            {
                {1, 3, 8, 7, DarkRed},
                {2, 4, 6, 5, BrightRed},
            },
            id == 12288 ? "mark 12288" : id == 12291 ? "mark 12291" : "mark 12294");
}

// Each icon, at its place on the background, changes exactly the pixels of
// its place: a lamp bar its 16x4 well of near-black, a mark its 8x7 selector
// square of light grey (the bottom, middle and top marks over the squares at
// rows 54, 35 and 16).
TEST(Bitmaps, EachIconCoversExactlyItsPlace)
{
    const Pixels background = Load(4096);
    ASSERT_FALSE(background.At.empty());
    const struct {
        int id, x, y;
        int place; // the background's colour where the icon shows
        int covered;
    } icons[] = {
        {8192, 22, 7, NearBlack, 64},   {8195, 47, 7, NearBlack, 64},   {8198, 72, 7, NearBlack, 64},
        {12288, 7, 51, LightGrey, 56}, {12291, 7, 32, LightGrey, 56}, {12294, 7, 13, LightGrey, 56},
    };
    for (const auto& icon : icons) {
        const Pixels pixels = Load(icon.id);
        ASSERT_FALSE(pixels.At.empty()) << icon.id;
        int covered = 0;
        for (int y = 0; y < pixels.Height; ++y)
            for (int x = 0; x < pixels.Width; ++x) {
                const bool place = background(icon.x + x, icon.y + y) == icon.place;
                EXPECT_EQ(pixels(x, y) != PureBlack, place)
                    << "icon " << icon.id << " pixel " << x << "," << y << " over panel " << icon.x + x << ","
                    << icon.y + y << (place ? ", its place, left uncovered" : ", outside its place");
                covered += place;
            }
        EXPECT_EQ(covered, icon.covered) << "icon " << icon.id << " covers the whole of its place";
    }
}
