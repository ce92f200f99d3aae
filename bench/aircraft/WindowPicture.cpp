// Marks are drawn in a yellow no panel of the time is likely to use for a
// whole line, over a dark plate for the name, so that they read on any
// bitmap; a gauge whose size the entry gives is outlined whole, another by
// the corner its X, Y names. The gauge is scaled by nearest neighbour, as a
// host of the time stretched its bitmaps, and the click that reaches it is
// mapped back by the same rule, so a click lands on the pixel it shows.
#include "bench/aircraft/WindowPicture.h"

#include "bench/files/Text.h"
#include "bench/pictures/BenchFont.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

namespace {

const Rgb MarkColour = {255, 210, 0};
const Rgb MissingColour = {255, 64, 64};
const Rgb Plate = {32, 32, 32};
const Rgb CaptionText = {230, 230, 230};
const int NameCellHeight = 13;
const int CaptionCellHeight = 16;
const int Margin = 6;
// A corner's arms, and where a name starts from a mark's corner.
const int CornerArm = 12, CornerWidth = 2, NameOffset = 4;
// No picture is wider than the widest bitmap the bench reads.
const int MostWidth = 4096;

void Line(Image& image, int x0, int y0, int x1, int y1, Rgb colour)
{
    for (int y = std::max(0, y0); y <= y1 && y < image.Height; ++y)
        for (int x = std::max(0, x0); x <= x1 && x < image.Width; ++x)
            image.Set(x, y, colour);
}

void Outline(Image& image, const PixelBox& box, Rgb colour)
{
    Line(image, box.Left, box.Top, box.Right - 1, box.Top, colour);
    Line(image, box.Left, box.Bottom - 1, box.Right - 1, box.Bottom - 1, colour);
    Line(image, box.Left, box.Top, box.Left, box.Bottom - 1, colour);
    Line(image, box.Right - 1, box.Top, box.Right - 1, box.Bottom - 1, colour);
}

// A name on a dark plate with its top-left at x, y, within the bitmap.
void Name(Image& image, const TextFace& face, int x, int y, const std::string& name, Rgb colour, int right, int bottom)
{
    if (!face.Loaded())
        return;
    const int width = face.Width(name.c_str()) + 4;
    const PixelBox plate = {x, y, std::min(x + width, right), std::min(y + face.CellHeight(), bottom)};
    for (int row = std::max(0, plate.Top); row < plate.Bottom; ++row)
        for (int column = std::max(0, plate.Left); column < plate.Right; ++column)
            image.Set(column, row, Plate);
    face.Draw(image, x + 2, y, name.c_str(), colour, plate);
}

bool LoadFace(TextFace* face, int cellHeight, std::string* problem)
{
    std::vector<uint8_t> font;
    return LoadBenchFont(&font, problem) && face->Load(font.data(), font.size(), cellHeight, problem);
}

std::string Caption(const CheckedWindow& window, std::vector<std::string>* lines)
{
    const PanelWindow& panel = window.Window;
    const std::string bitmap = window.Bitmap.substr(window.Bitmap.find_last_of("\\/") + 1);
    lines->push_back(WindowName(panel.Number) + " " + Quoted(panel.Title) + ": " + bitmap + ", " +
        std::to_string(window.Background.Width) + " x " + std::to_string(window.Background.Height) + " pixels");
    for (const PlacedGauge& placed : window.Entries)
        lines->push_back(GaugeKey(placed.Entry.Number) + "=" + placed.Entry.Name + ", " +
            std::to_string(placed.Entry.X) + ", " + std::to_string(placed.Entry.Y) + " (line " +
            std::to_string(placed.Entry.Line) + ")");
    if (window.PixelsPerUnit != 1.0 && !window.Entries.empty()) {
        const PixelBox& box = window.Entries.front().Box;
        char text[160];
        snprintf(text, sizeof text, "Scaled: size_mm=%d across %d pixels, %.3g pixels a unit; the gauge is %d x %d",
            panel.SizeUnits, window.Background.Width, window.PixelsPerUnit, box.Right - box.Left, box.Bottom - box.Top);
        lines->push_back(text);
    } else {
        lines->push_back("Unscaled: a unit is a pixel");
    }
    return std::string();
}

} // namespace

bool DrawWindowPicture(const CheckedWindow& window, WindowPicture* out, std::string* problem)
{
    *out = WindowPicture();
    out->Window = window.Window.Number;
    out->Title = window.Window.Title;
    const Image& bitmap = window.Background;
    out->BitmapWidth = bitmap.Width;
    out->BitmapHeight = bitmap.Height;
    for (const PlacedGauge& placed : window.Entries)
        out->Places.push_back(placed.Box);

    TextFace names, caption;
    const bool faces = LoadFace(&names, NameCellHeight, problem) && LoadFace(&caption, CaptionCellHeight, problem);
    std::vector<std::string> lines;
    Caption(window, &lines);
    int width = bitmap.Width;
    for (const std::string& line : lines)
        width = std::max(width, faces ? caption.Width(line.c_str()) + 2 * Margin : 0);
    width = std::min(width, MostWidth);
    const int stripHeight = faces ? int(lines.size()) * CaptionCellHeight + 2 * Margin : 0;
    Image base(width, bitmap.Height + stripHeight, Plate);
    for (int y = 0; y < bitmap.Height; ++y)
        memcpy(base.Row(y), bitmap.Row(y), size_t(bitmap.Width) * 3);

    for (const PlacedGauge& other : window.Others) {
        const PixelBox& box = other.Box;
        if (other.SizeKnown) {
            Outline(base, {box.Left, box.Top, std::min(box.Right, bitmap.Width), std::min(box.Bottom, bitmap.Height)},
                MarkColour);
        } else {
            Line(base, box.Left, box.Top, std::min(box.Left + CornerArm, bitmap.Width) - 1,
                std::min(box.Top + CornerWidth, bitmap.Height) - 1, MarkColour);
            Line(base, box.Left, box.Top, std::min(box.Left + CornerWidth, bitmap.Width) - 1,
                std::min(box.Top + CornerArm, bitmap.Height) - 1, MarkColour);
        }
        Name(base, names, box.Left + NameOffset, box.Top + NameOffset, other.Entry.Name, MarkColour, bitmap.Width,
            bitmap.Height);
    }
    if (faces)
        for (size_t i = 0; i < lines.size(); ++i) {
            const int top = bitmap.Height + Margin + int(i) * CaptionCellHeight;
            caption.Draw(base, Margin, top, lines[i].c_str(), CaptionText,
                {Margin, top, width - Margin, top + CaptionCellHeight});
        }
    out->Base = std::move(base);
    if (!faces)
        *problem = "the picture has no names and no caption: " + *problem;
    return faces;
}

void MarkGaugeMissing(WindowPicture* picture, const std::string& why)
{
    TextFace names;
    std::string problem;
    LoadFace(&names, NameCellHeight, &problem);
    for (const PixelBox& box : picture->Places) {
        const PixelBox inside = {box.Left, box.Top, std::min(box.Right, picture->BitmapWidth),
            std::min(box.Bottom, picture->BitmapHeight)};
        Outline(picture->Base, inside, MissingColour);
        Name(picture->Base, names, inside.Left + 2, inside.Top + 2, why, MissingColour, inside.Right, inside.Bottom);
    }
}

void SetGauge(const WindowPicture& picture, const LiveGauge& gauge, Image* into)
{
    *into = picture.Base;
    const int width = gauge.Width(), height = gauge.Height();
    if (width <= 0 || height <= 0)
        return;
    for (const PixelBox& box : picture.Places)
        for (int y = std::max(0, box.Top); y < box.Bottom && y < picture.BitmapHeight; ++y)
            for (int x = std::max(0, box.Left); x < box.Right && x < picture.BitmapWidth; ++x) {
                int gaugeX, gaugeY;
                Rgb colour;
                if (GaugePixelAt(picture, width, height, x, y, &gaugeX, &gaugeY) &&
                    gauge.Covers(gaugeX, gaugeY, &colour))
                    into->Set(x, y, colour);
            }
}

bool GaugePixelAt(const WindowPicture& picture, int width, int height, int x, int y, int* gaugeX, int* gaugeY)
{
    *gaugeX = *gaugeY = -1;
    // The last place drawn is on top.
    for (auto place = picture.Places.rbegin(); place != picture.Places.rend(); ++place) {
        const PixelBox& box = *place;
        if (x < box.Left || y < box.Top || x >= box.Right || y >= box.Bottom)
            continue;
        *gaugeX = int(int64_t(x - box.Left) * width / (box.Right - box.Left));
        *gaugeY = int(int64_t(y - box.Top) * height / (box.Bottom - box.Top));
        return true;
    }
    return false;
}
