// Paints a gauge's panel the way the simulator draws it, from the module's
// own records and bitmaps: the element chain that Linkage leads to, each
// element's bitmap from the module's resources, its place and its image
// flags. After Load, each Paint draws one pass from what each element's
// callback returned; nothing is allocated and nothing rasterised per pass,
// so a run can paint every pass.
//
// What the host does, and so what a pass does, element by element in chain
// order, over the frame the last pass left:
//   - flag 0x0002 (restore): the element's area is first put back to what lay
//     beneath it, the panel and the static images;
//   - a static image is drawn; an icon is drawn when the image its result
//     picks is its one image, image 0 (bench/hosting/GaugeHost.h); none for
//     -1.0, NaN and anything else;
//   - flag 0x0001 (transparency): pure black (0,0,0) pixels are not drawn;
//   - a text element draws its text in its box, one line, by its DrawText
//     flags (centre, right, vertical centre, bottom, no clipping).
#ifndef LUMIVANE_BENCH_PAINTER_H
#define LUMIVANE_BENCH_PAINTER_H

#include "bench/pictures/Image.h"
#include "bench/hosting/GaugeHost.h"
#include "bench/pictures/TextFace.h"
#include "host/Records.h"

#include <stdint.h>

#include <string>
#include <vector>

// One element of the chain, as the painter found it.
struct PaintedElement {
    int32_t Kind;     // StaticImageKind, IconKind or TextStringKind
    int32_t BitmapId; // -1 for the text element
    PixelBox Area;    // in panel pixels, before clipping to the panel
    uint32_t ImageFlags;
};

class PanelPainter {
public:
    // The panel the gauge is mounted on: a plain mid grey, drawn first.
    static const Rgb PanelColour;

    // `ground`: the panel's colour instead, where the gauge is to be set
    // into a picture of a panel of its own (bench/aircraft/LiveGauge.h).
    explicit PanelPainter(Rgb ground = PanelColour) : ground_(ground) {}
    // The readout's cell height in pixels; see PanelPainter.cpp.
    static const int ReadoutCellHeight = 25;

    // Reads the element chain from `linkage` (the module's exported record)
    // and each element's bitmap from `module` (an HMODULE or a dlopen
    // handle). False, with the reason, when the records or bitmaps cannot be
    // painted. A missing font is no failure: the frame is painted without
    // text, and TextProblem says why.
    bool Load(void* module, const ModuleLinkage* linkage, std::string* problem);

    // Draws one pass from each element's result, in chain order: an icon
    // shows its image where the host chose image 0, a text element its text.
    // An element beyond the results, or all of them for null results, shows
    // no image and no text.
    void Paint(const PassResults* results);

    const Image& Frame() const { return frame_; }
    const std::vector<PaintedElement>& Elements() const { return elements_; }
    // Why the readout is not drawn, or empty when it is.
    const std::string& TextProblem() const { return textProblem_; }

private:
    // A horizontal run of drawn pixels: where it goes in the frame and where
    // its colours are in `runPixels_`, both in bytes.
    struct Run {
        size_t FrameAt, PixelsAt, Bytes;
    };
    struct Element {
        int32_t Kind;
        uint32_t Flags;
        PixelBox Restore; // clipped to the panel; empty when not restored
        size_t FirstRun = 0, RunCount = 0;
        // The text element's.
        PixelBox Box = {0, 0, 0, 0};
        Rgb TextColour = {0, 0, 0};
        Rgb BackgroundColour = {0, 0, 0};
        bool FillsBackground = false;
        uint32_t Format = 0;
    };

    bool AddImage(void* module, const ElementHeader& header, Element* element, std::string* problem);
    void DrawRuns(const Element& element);
    void DrawText(const Element& element, const char* text);

    Rgb ground_;
    std::vector<Element> chain_;
    std::vector<PaintedElement> elements_;
    std::vector<Run> runs_;
    std::vector<uint8_t> runPixels_;
    Image beneath_; // the panel and the static images: what a restore puts back
    Image frame_;
    TextFace face_;
    std::string textProblem_;
};

#endif
