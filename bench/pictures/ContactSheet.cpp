// Frame pictures and the contact sheet. The sheet is laid out in columns of
// at most six frames, each in a cell with a margin and one line of label in
// a small cut of the bench's typeface, on a dark ground that sets off the
// panel's mid grey.
#include "bench/pictures/ContactSheet.h"

#include "bench/pictures/BenchFont.h"
#include "bench/pictures/TextFace.h"

#include <stb/stb_image_write.h>

#include <string.h>

#include <utility>

namespace {

const int SheetColumns = 6;
const int Margin = 8;
const int LabelCellHeight = 16;
const Rgb SheetGround = {32, 32, 32};
const Rgb LabelColour = {230, 230, 230};

} // namespace

Image ScaleUp(const Image& image, int scale)
{
    if (scale < 1)
        scale = 1;
    Image scaled(image.Width * scale, image.Height * scale);
    for (int y = 0; y < scaled.Height; ++y) {
        const uint8_t* from = image.Row(y / scale);
        uint8_t* to = scaled.Row(y);
        for (int x = 0; x < scaled.Width; ++x)
            memcpy(to + size_t(x) * 3, from + size_t(x / scale) * 3, 3);
    }
    return scaled;
}

bool EncodeFrame(const Image& image, int scale, std::string* png)
{
    png->clear();
    if (image.Width <= 0 || image.Height <= 0)
        return false;
    const Image scaled = ScaleUp(image, scale);
    const auto append = [](void* context, void* data, int size) {
        static_cast<std::string*>(context)->append(static_cast<const char*>(data), size_t(size));
    };
    return stbi_write_png_to_func(append, png, scaled.Width, scaled.Height, 3, scaled.Pixels.data(),
               scaled.Width * 3) != 0;
}

void FrameSelector::Offer(const Image& frame, const std::string& label)
{
    if (offered_ && frame == latest_.Frame)
        return;
    latest_ = {frame, label};
    latestKept_ = offered_ % stride_ == 0;
    if (latestKept_)
        kept_.push_back(latest_);
    ++offered_;
    if (kept_.size() == MostKept) {
        // The first stays where it is: moved onto itself it would be emptied.
        for (size_t i = 1; i < MostKept / 2; ++i)
            kept_[i] = std::move(kept_[i * 2]);
        kept_.resize(MostKept / 2);
        stride_ *= 2;
        latestKept_ = (offered_ - 1) % stride_ == 0;
    }
}

std::vector<LabelledFrame> FrameSelector::Pick(size_t limit) const
{
    std::vector<const LabelledFrame*> all;
    for (const LabelledFrame& frame : kept_)
        all.push_back(&frame);
    if (!latestKept_)
        all.push_back(&latest_);
    std::vector<LabelledFrame> picked;
    if (limit == 0 || all.empty())
        return picked;
    if (all.size() <= limit) {
        for (const LabelledFrame* frame : all)
            picked.push_back(*frame);
        return picked;
    }
    if (limit == 1)
        return {*all.front()};
    // Index k of limit spread over the kept ones, first and last included.
    for (size_t k = 0; k < limit; ++k)
        picked.push_back(*all[k * (all.size() - 1) / (limit - 1)]);
    return picked;
}

bool MakeContactSheet(const std::vector<LabelledFrame>& frames, int scale, Image* sheet, std::string* problem)
{
    *sheet = Image();
    if (frames.empty()) {
        *problem = "no frames";
        return false;
    }
    if (scale < 1)
        scale = 1;
    int frameWidth = 0, frameHeight = 0;
    for (const LabelledFrame& frame : frames) {
        frameWidth = frame.Frame.Width > frameWidth ? frame.Frame.Width : frameWidth;
        frameHeight = frame.Frame.Height > frameHeight ? frame.Frame.Height : frameHeight;
    }
    const int columns = int(frames.size()) < SheetColumns ? int(frames.size()) : SheetColumns;
    const int rows = (int(frames.size()) + columns - 1) / columns;
    const int cellWidth = frameWidth * scale + Margin, cellHeight = frameHeight * scale + LabelCellHeight + Margin;
    *sheet = Image(columns * cellWidth + Margin, rows * cellHeight + Margin, SheetGround);

    TextFace face;
    std::vector<uint8_t> font;
    const bool labelled = LoadBenchFont(&font, problem) && face.Load(font.data(), font.size(), LabelCellHeight, problem);

    for (size_t i = 0; i < frames.size(); ++i) {
        const int left = Margin + int(i % size_t(columns)) * cellWidth;
        const int top = Margin + int(i / size_t(columns)) * cellHeight;
        const Image scaled = ScaleUp(frames[i].Frame, scale);
        for (int y = 0; y < scaled.Height; ++y)
            memcpy(sheet->Row(top + y) + size_t(left) * 3, scaled.Row(y), size_t(scaled.Width) * 3);
        if (labelled) {
            const int labelTop = top + scaled.Height + 1;
            face.Draw(*sheet, left, labelTop, frames[i].Label.c_str(), LabelColour,
                {left, labelTop, left + frameWidth * scale, labelTop + LabelCellHeight});
        }
    }
    if (!labelled)
        *problem = "the labels are not drawn: " + *problem;
    return labelled;
}

bool WriteContactSheet(const std::string& path, const std::vector<LabelledFrame>& frames, int scale,
    std::string* problem)
{
    Image sheet;
    const bool complete = MakeContactSheet(frames, scale, &sheet, problem);
    if (sheet.Width == 0)
        return false;
    if (!stbi_write_png(path.c_str(), sheet.Width, sheet.Height, 3, sheet.Pixels.data(), sheet.Width * 3)) {
        *problem = "cannot write " + path;
        return false;
    }
    return complete;
}
