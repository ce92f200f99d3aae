// Builds, at load time, everything a pass needs: each element's drawn pixels
// as runs of colours already placed in panel coordinates, the picture beneath
// the elements for restoring, and the readout's glyphs. A pass then only
// copies runs and blends glyphs.
//
// The readout. The record names "Courier New" and gives no height; the bench
// draws Liberation Mono, which has Courier New's metrics, with a cell (ascent
// plus descent) of 25 pixels: the largest cell that fits the 25-row box on
// one line, as DT_VCENTER | DT_SINGLELINE centres it. Its advance is 13 pixels
// (0.6 em, rounded to whole pixels as GDI does), so three characters take 39
// of the box's 62 columns, and " 80" puts its digits where "180" puts its last
// two. The record's background colour is pure black, and the element carries
// the transparency flag, under which pure black is not drawn: so the box is
// not filled, and the near-black readout field of the background shows
// around the characters, one column and one row wider than the box, with no
// seam. A background of any other colour, or an element without the flag,
// fills the box.
#include "bench/pictures/PanelPainter.h"

#include "bench/pictures/BenchFont.h"
#include "bench/pictures/Dib.h"
#include "bench/hosting/ModuleResources.h"

#include <string.h>

const Rgb PanelPainter::PanelColour = {128, 128, 128};

namespace {

// No gauge has more; a chain longer than this has next lists that loop.
const size_t MostElements = 256;
// The DrawText flags the text element may carry.
const uint32_t TextCentre = 0x01, TextRight = 0x02, TextVerticalCentre = 0x04, TextBottom = 0x08,
               TextSingleLine = 0x20, TextNoClip = 0x100;
// A readout longer than this is cut; the host's buffer holds far fewer.
const size_t MostReadoutCharacters = 64;

PixelBox Clip(PixelBox box, int width, int height)
{
    if (box.Left < 0)
        box.Left = 0;
    if (box.Top < 0)
        box.Top = 0;
    if (box.Right > width)
        box.Right = width;
    if (box.Bottom > height)
        box.Bottom = height;
    if (box.Right < box.Left)
        box.Right = box.Left;
    if (box.Bottom < box.Top)
        box.Bottom = box.Top;
    return box;
}

std::string ElementName(size_t index)
{
    return "element " + std::to_string(index) + " of the chain";
}

} // namespace

bool PanelPainter::Load(void* module, const ModuleLinkage* linkage, std::string* problem)
{
    chain_.clear();
    elements_.clear();
    runs_.clear();
    runPixels_.clear();
    textProblem_.clear();
    frame_ = Image();

    if (!linkage || !linkage->Gauges[0]) {
        *problem = "Linkage lists no gauge";
        return false;
    }
    const GaugeHeader* gauge = linkage->Gauges[0];
    if (!gauge->Elements || !gauge->Elements[0]) {
        *problem = "the gauge header's element list is empty";
        return false;
    }
    std::vector<const ElementHeader*> headers;
    for (const ElementHeader* header = gauge->Elements[0]; header; header = header->Next ? header->Next[0] : nullptr) {
        if (headers.size() == MostElements) {
            *problem = "more than " + std::to_string(MostElements) + " elements: do the next lists loop?";
            return false;
        }
        headers.push_back(header);
    }

    // The panel is as large as the first element's bitmap, the background.
    Image background;
    ModuleResource resource;
    std::string why;
    if (headers[0]->Kind != StaticImageKind || headers[0]->BitmapId < 0 || headers[0]->BitmapId > 0xFFFF ||
        !FindModuleResource(module, 2, uint16_t(headers[0]->BitmapId), &resource) ||
        !DecodeDib(resource.Bytes, resource.Size, &background, &why)) {
        *problem = "the first element is not a static image whose bitmap can be read" + (why.empty() ? "" : ": " + why);
        return false;
    }
    frame_ = Image(background.Width, background.Height, ground_);
    beneath_ = frame_;

    bool hasText = false;
    for (size_t i = 0; i < headers.size(); ++i) {
        const ElementHeader& header = *headers[i];
        Element element;
        element.Kind = header.Kind;
        element.Flags = header.ImageFlags;
        PixelBox area = {header.X, header.Y, header.X, header.Y};
        switch (header.Kind) {
        case StaticImageKind:
        case IconKind:
            if (!AddImage(module, header, &element, &why)) {
                *problem = ElementName(i) + ": " + why;
                return false;
            }
            area = element.Restore;
            break;
        case TextStringKind: {
            const TextElement& text = reinterpret_cast<const TextElement&>(header);
            element.Box = {header.X, header.Y, header.X + text.BoxWidth, header.Y + text.BoxHeight};
            element.TextColour = FromColorRef(text.TextColour);
            element.BackgroundColour = FromColorRef(text.BackgroundColour);
            element.FillsBackground = !((header.ImageFlags & TransparentImage) && text.BackgroundColour == 0);
            element.Format = text.FormatFlags;
            area = element.Box;
            hasText = true;
            break;
        }
        default:
            *problem = ElementName(i) + " has kind " + std::to_string(header.Kind) + ", which the bench does not draw";
            return false;
        }
        element.Restore = (header.ImageFlags & RestoreBeneath) ? Clip(area, frame_.Width, frame_.Height)
                                                               : PixelBox{0, 0, 0, 0};
        chain_.push_back(element);
        elements_.push_back({header.Kind, header.BitmapId, area, header.ImageFlags});
        // What lies beneath every element: the panel and the static images.
        if (header.Kind == StaticImageKind) {
            std::swap(frame_, beneath_);
            DrawRuns(element);
            std::swap(frame_, beneath_);
        }
    }

    if (hasText) {
        std::vector<uint8_t> font;
        if (!LoadBenchFont(&font, &textProblem_) ||
            !face_.Load(font.data(), font.size(), ReadoutCellHeight, &textProblem_))
            textProblem_ = "the readout is not drawn: " + textProblem_;
    }
    return true;
}

// Decodes the element's bitmap and lays its drawn pixels out as runs in panel
// coordinates, clipped to the panel. Leaves the bitmap's area, unclipped, in
// element->Restore for Load to finish.
bool PanelPainter::AddImage(void* module, const ElementHeader& header, Element* element, std::string* problem)
{
    if (header.BitmapId < 0 || header.BitmapId > 0xFFFF) {
        *problem = "bitmap id " + std::to_string(header.BitmapId);
        return false;
    }
    ModuleResource resource;
    if (!FindModuleResource(module, 2, uint16_t(header.BitmapId), &resource)) {
        *problem = "bitmap " + std::to_string(header.BitmapId) + " is not among the module's resources";
        return false;
    }
    Image bitmap;
    std::string why;
    if (!DecodeDib(resource.Bytes, resource.Size, &bitmap, &why)) {
        *problem = "bitmap " + std::to_string(header.BitmapId) + ": " + why;
        return false;
    }
    const bool transparent = (header.ImageFlags & TransparentImage) != 0;
    const Rgb pureBlack = {0, 0, 0};
    element->FirstRun = runs_.size();
    for (int y = 0; y < bitmap.Height; ++y) {
        const int panelY = header.Y + y;
        if (panelY < 0 || panelY >= frame_.Height)
            continue;
        for (int x = 0; x < bitmap.Width;) {
            const int panelX = header.X + x;
            if (panelX < 0 || panelX >= frame_.Width || (transparent && bitmap.At(x, y) == pureBlack)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < bitmap.Width && header.X + end < frame_.Width && !(transparent && bitmap.At(end, y) == pureBlack))
                ++end;
            const size_t bytes = size_t(end - x) * 3;
            runs_.push_back({(size_t(panelY) * size_t(frame_.Width) + size_t(panelX)) * 3, runPixels_.size(), bytes});
            const uint8_t* from = bitmap.Row(y) + size_t(x) * 3;
            runPixels_.insert(runPixels_.end(), from, from + bytes);
            x = end;
        }
    }
    element->RunCount = runs_.size() - element->FirstRun;
    element->Restore = {header.X, header.Y, header.X + bitmap.Width, header.Y + bitmap.Height};
    return true;
}

void PanelPainter::DrawRuns(const Element& element)
{
    uint8_t* frame = frame_.Pixels.data();
    const uint8_t* pixels = runPixels_.data();
    for (size_t i = element.FirstRun; i < element.FirstRun + element.RunCount; ++i)
        memcpy(frame + runs_[i].FrameAt, pixels + runs_[i].PixelsAt, runs_[i].Bytes);
}

void PanelPainter::DrawText(const Element& element, const char* text)
{
    const PixelBox box = Clip(element.Box, frame_.Width, frame_.Height);
    if (element.FillsBackground)
        for (int y = box.Top; y < box.Bottom; ++y)
            for (int x = box.Left; x < box.Right; ++x)
                frame_.Set(x, y, element.BackgroundColour);
    if (!text || !face_.Loaded())
        return;
    size_t length = 0;
    while (length < MostReadoutCharacters && text[length])
        ++length;
    const int width = face_.Width(text, length);
    const int boxWidth = element.Box.Right - element.Box.Left, boxHeight = element.Box.Bottom - element.Box.Top;
    // GDI's placement: half the space left over, rounded toward zero.
    int left = element.Box.Left;
    if (element.Format & TextCentre)
        left += (boxWidth - width) / 2;
    else if (element.Format & TextRight)
        left += boxWidth - width;
    int top = element.Box.Top;
    if ((element.Format & TextSingleLine) && (element.Format & TextVerticalCentre))
        top += (boxHeight - face_.CellHeight()) / 2;
    else if ((element.Format & TextSingleLine) && (element.Format & TextBottom))
        top += boxHeight - face_.CellHeight();
    const PixelBox clip = (element.Format & TextNoClip) ? PixelBox{0, 0, frame_.Width, frame_.Height} : box;
    face_.Draw(frame_, left, top, text, element.TextColour, clip, length);
}

void PanelPainter::Paint(const PassResults* results)
{
    const size_t count = results ? size_t(results->Count) : 0;
    for (size_t i = 0; i < chain_.size(); ++i) {
        const ElementResult* result = i < count ? &results->Elements[i] : nullptr;
        const Element& element = chain_[i];
        for (int y = element.Restore.Top; y < element.Restore.Bottom; ++y) {
            const size_t at = (size_t(y) * size_t(frame_.Width) + size_t(element.Restore.Left)) * 3;
            memcpy(frame_.Pixels.data() + at, beneath_.Pixels.data() + at,
                size_t(element.Restore.Right - element.Restore.Left) * 3);
        }
        switch (element.Kind) {
        case StaticImageKind:
            DrawRuns(element);
            break;
        case IconKind:
            if (result && result->Image == 0)
                DrawRuns(element);
            break;
        case TextStringKind:
            DrawText(element, result ? result->Text : nullptr);
            break;
        }
    }
}
