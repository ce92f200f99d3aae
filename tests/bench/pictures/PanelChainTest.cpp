// The painter reads a chain of the test's own making beside the real
// module's bitmaps, so every refusal can be met on both sides of its bound:
// the records, each bitmap id at and past the ids a resource can have, a kind
// it does not draw, a chain that loops; and the restore flag's effect, with
// and without it; a text element's filled box, clipped on every side. The
// text face and the pass painter refuse what they cannot draw, and go on
// refusing; images and text that reach past an edge are drawn to it.
#include "tests/bench/TestModule.h"
#include "bench/pictures/BenchFont.h"
#include "bench/pictures/PanelPainter.h"
#include "bench/pictures/PassPainter.h"
#include "bench/pictures/TextFace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const int32_t LampBitmap = 8192;

// A linkage whose one gauge's chain is the given elements, each leading to
// the next: copies of `headers`, or the caller's own elements (a text
// element is more than its header), kept alive by the caller.
class Chain {
public:
    Chain(const ModuleLinkage& real, const std::vector<ElementHeader>& headers) : copies_(headers)
    {
        std::vector<ElementHeader*> elements;
        for (ElementHeader& header : copies_)
            elements.push_back(&header);
        Link(real, elements);
    }
    Chain(const ModuleLinkage& real, const std::vector<ElementHeader*>& elements) { Link(real, elements); }
    Chain(const Chain&) = delete;
    Chain& operator=(const Chain&) = delete;
    const ModuleLinkage* Linkage() const { return &linkage_; }

private:
    void Link(const ModuleLinkage& real, const std::vector<ElementHeader*>& elements)
    {
        linkage_ = real;
        gauge_ = *real.Gauges[0];
        next_.assign(elements.size() * 2, nullptr);
        for (size_t i = 0; i < elements.size(); ++i) {
            next_[i * 2] = i + 1 < elements.size() ? elements[i + 1] : nullptr;
            elements[i]->Next = i + 1 < elements.size() ? &next_[i * 2] : nullptr;
        }
        first_[0] = elements.empty() ? nullptr : elements[0];
        gauge_.Elements = first_;
        linkage_.Gauges[0] = &gauge_;
    }

    std::vector<ElementHeader> copies_;
    ModuleLinkage linkage_;
    GaugeHeader gauge_;
    std::vector<ElementHeader*> next_;
    ElementHeader* first_[2] = {nullptr, nullptr};
};

class PanelChain : public testing::Test {
protected:
    void SetUp() override
    {
        module = LoadTestModule();
        ASSERT_NE(module, nullptr);
        real = TestModuleLinkage(module);
        ASSERT_NE(real, nullptr);
        background = *real->Gauges[0]->Elements[0];
        lamp = background;
        lamp.Kind = IconKind;
        lamp.BitmapId = LampBitmap;
        lamp.ImageFlags = RestoreBeneath | TransparentImage;
    }

    // The results of a pass over {background, lamp}: the lamp showing its
    // image `image` (-1: none).
    static PassResults LampPass(int32_t image)
    {
        PassResults results;
        results.Count = 2;
        results.Elements[0].Kind = StaticImageKind;
        results.Elements[1].Kind = IconKind;
        results.Elements[1].Image = image;
        return results;
    }

    // The results of a pass over {background, text}, the text's buffer empty.
    static PassResults TextPass()
    {
        PassResults results;
        results.Count = 2;
        results.Elements[1].Kind = TextStringKind;
        return results;
    }

    // The module's own text element, or null.
    const TextElement* Readout() const
    {
        for (ElementHeader* const* next = real->Gauges[0]->Elements; next && *next; next = (*next)->Next)
            if ((*next)->Kind == TextStringKind)
                return reinterpret_cast<const TextElement*>(*next);
        return nullptr;
    }

    ElementHeader With(ElementHeader header, int32_t kind, int32_t bitmap)
    {
        header.Kind = kind;
        header.BitmapId = bitmap;
        return header;
    }

    void* module = nullptr;
    const ModuleLinkage* real = nullptr;
    ElementHeader background, lamp;
};

} // namespace

TEST_F(PanelChain, ChainsThePainterCannotDrawAreRefusedWithTheirReason)
{
    const struct {
        std::vector<ElementHeader> chain;
        const char* problem; // empty: painted
    } rows[] = {
        {{background, lamp}, ""},
        {{}, "the gauge header's element list is empty"},
        {{With(background, IconKind, background.BitmapId)}, "the first element is not a static image"},
        {{With(background, StaticImageKind, -1)}, "the first element is not a static image"},
        {{With(background, StaticImageKind, 0x10000)}, "the first element is not a static image"},
        {{With(background, StaticImageKind, LampBitmap + 100)}, "the first element is not a static image"},
        // Each side of the ids a resource can have: outside, the id itself
        // is refused; inside, the module has no such bitmap.
        {{background, With(lamp, IconKind, -1)}, "element 1 of the chain: bitmap id -1"},
        {{background, With(lamp, IconKind, 0)}, "element 1 of the chain: bitmap 0 is not among the module's resources"},
        {{background, With(lamp, IconKind, 0xFFFF)},
            "element 1 of the chain: bitmap 65535 is not among the module's resources"},
        {{background, With(lamp, IconKind, 0x10000)}, "element 1 of the chain: bitmap id 65536"},
        {{background, lamp, With(lamp, StaticImageKind, -7)}, "element 2 of the chain: bitmap id -7"},
        {{background, With(lamp, 3, LampBitmap)}, "element 1 of the chain has kind 3, which the bench does not draw"},
        {{background, With(lamp, -1, LampBitmap)}, "element 1 of the chain has kind -1, which the bench does not draw"},
        {std::vector<ElementHeader>(256, background), ""},
        {std::vector<ElementHeader>(257, background), "more than 256 elements: do the next lists loop?"},
    };
    for (const auto& row : rows) {
        const Chain chain(*real, row.chain);
        PanelPainter painter;
        std::string problem;
        const bool painted = painter.Load(module, chain.Linkage(), &problem);
        EXPECT_EQ(painted, *row.problem == '\0') << row.chain.size() << " elements: " << problem;
        if (*row.problem) {
            EXPECT_EQ(problem.find(row.problem), 0u) << "got: " << problem;
        } else {
            EXPECT_EQ(painter.Elements().size(), row.chain.size());
        }
    }
    PanelPainter painter;
    std::string problem;
    EXPECT_FALSE(painter.Load(module, nullptr, &problem));
    EXPECT_EQ(problem, "Linkage lists no gauge");
}

TEST_F(PanelChain, OnlyAnElementWithTheRestoreFlagIsPutBackWhenItsImageGoes)
{
    for (const uint32_t flags : {uint32_t(RestoreBeneath | TransparentImage), uint32_t(TransparentImage)}) {
        ElementHeader flagged = lamp;
        flagged.ImageFlags = flags;
        const Chain chain(*real, {background, flagged});
        PanelPainter painter;
        std::string problem;
        ASSERT_TRUE(painter.Load(module, chain.Linkage(), &problem)) << problem;
        PassResults results = LampPass(-1);
        painter.Paint(&results);
        const Image dark = painter.Frame();
        results.Elements[1].Image = 0;
        painter.Paint(&results);
        const Image lit = painter.Frame();
        ASSERT_NE(lit.Pixels, dark.Pixels) << "the lamp draws";
        results.Elements[1].Image = -1;
        painter.Paint(&results);
        if (flags & RestoreBeneath)
            EXPECT_EQ(painter.Frame().Pixels, dark.Pixels) << "restored";
        else
            EXPECT_EQ(painter.Frame().Pixels, lit.Pixels) << "left as drawn";
    }
}

TEST_F(PanelChain, ATextElementWithABackgroundFillsItsBoxClippedToThePanel)
{
    const TextElement* readout = Readout();
    ASSERT_NE(readout, nullptr) << "the module's text element";
    const Rgb Blue = {0, 0, 255};
    const struct {
        int x, y, width, height;
        PixelBox filled; // in the panel
    } rows[] = {
        {10, 20, 20, 10, {10, 20, 30, 30}},
        {10, -3, 20, 10, {10, 0, 30, 7}},
        {-4, 5, 20, 10, {0, 5, 16, 15}},
        {90, 65, 20, 10, {90, 65, 100, 70}},
    };
    for (const auto& r : rows) {
        ElementHeader first = background;
        TextElement text = *readout;
        text.Header.X = r.x, text.Header.Y = r.y;
        text.BoxWidth = r.width, text.BoxHeight = r.height;
        text.BackgroundColour = 0x00FF0000; // blue, as a COLORREF
        text.Header.ImageFlags = 0;         // no transparency: the box is filled
        const Chain chain(*real, std::vector<ElementHeader*>{&first, &text.Header});
        PanelPainter painter;
        std::string problem;
        ASSERT_TRUE(painter.Load(module, chain.Linkage(), &problem)) << problem;
        PassResults results = TextPass();
        painter.Paint(&results);
        const Image& frame = painter.Frame();
        for (int y = 0; y < frame.Height; ++y)
            for (int x = 0; x < frame.Width; ++x) {
                const bool inside = x >= r.filled.Left && x < r.filled.Right && y >= r.filled.Top &&
                                    y < r.filled.Bottom;
                if (inside != (frame.At(x, y) == Blue))
                    ADD_FAILURE() << "pixel " << x << ", " << y << " of the box at " << r.x << ", " << r.y;
            }
    }
}

TEST_F(PanelChain, TextIsClippedToItsBoxUnlessItsFormatSaysNotTo)
{
    const TextElement* readout = Readout();
    ASSERT_NE(readout, nullptr) << "the module's text element";
    // A box too small for its text, to the right of x = 70, so that a clip
    // to the panel's height rather than its width would hide it all.
    const struct {
        uint32_t format;
        bool drawnOutside;
    } rows[] = {{0x20, false}, {0x20 | 0x100, true}}; // single line; with DT_NOCLIP
    for (const auto& r : rows) {
        ElementHeader first = background;
        TextElement text = *readout;
        text.Header.X = 75, text.Header.Y = 30;
        text.BoxWidth = 4, text.BoxHeight = 4;
        text.FormatFlags = r.format;
        const Chain chain(*real, std::vector<ElementHeader*>{&first, &text.Header});
        PanelPainter painter;
        std::string problem;
        ASSERT_TRUE(painter.Load(module, chain.Linkage(), &problem)) << problem;
        PassResults results = TextPass();
        painter.Paint(&results);
        const Image bare = painter.Frame();
        strcpy(results.Elements[1].Text, "888");
        painter.Paint(&results);
        int outside = 0;
        for (int y = 0; y < bare.Height; ++y)
            for (int x = 0; x < bare.Width; ++x)
                if (painter.Frame().At(x, y) != bare.At(x, y)) {
                    const bool inBox = x >= 75 && x < 79 && y >= 30 && y < 34;
                    outside += inBox ? 0 : 1;
                }
        EXPECT_EQ(outside > 0, r.drawnOutside) << "format " << r.format << ": " << outside << " pixels outside";
    }
}

TEST_F(PanelChain, AnImageAcrossAnEdgeOfThePanelIsDrawnToThatEdge)
{
    // The lamp (20 × 20, red inside a black ring) drawn whole, without
    // transparency, at 40, 25 is the reference for every pixel of it.
    ElementHeader solid = lamp;
    solid.ImageFlags = 0;
    auto paint = [&](int x, int y) {
        ElementHeader placed = solid;
        placed.X = x, placed.Y = y;
        const Chain chain(*real, {background, placed});
        PanelPainter painter;
        std::string problem;
        EXPECT_TRUE(painter.Load(module, chain.Linkage(), &problem)) << problem;
        const PassResults results = LampPass(0);
        painter.Paint(&results);
        return painter.Frame();
    };
    const Image whole = paint(40, 25);
    ASSERT_EQ(whole.At(50, 35), (Rgb{255, 0, 0})) << "the lamp's middle";
    const struct {
        int x, y;
    } places[] = {{-10, 10}, {-19, 10}, {90, 10}, {99, 10}, {10, -10}, {10, -19}, {10, 60}, {10, 69}, {-10, -10},
        {90, 60}};
    for (const auto& p : places) {
        const Image frame = paint(p.x, p.y);
        int shown = 0;
        for (int y = 0; y < frame.Height; ++y)
            for (int x = 0; x < frame.Width; ++x) {
                const int lx = x - p.x, ly = y - p.y;
                if (lx < 0 || ly < 0 || lx >= 20 || ly >= 20)
                    continue;
                ++shown;
                if (frame.At(x, y) != whole.At(40 + lx, 25 + ly))
                    ADD_FAILURE() << "panel pixel " << x << ", " << y << " of the lamp at " << p.x << ", " << p.y;
            }
        EXPECT_EQ(shown, (std::min(p.x + 20, 100) - std::max(p.x, 0)) * (std::min(p.y + 20, 70) - std::max(p.y, 0)));
    }
}

TEST(TextFace, DrawsNothingOutsideTheImageWhateverTheClip)
{
    std::vector<uint8_t> font;
    std::string problem;
    ASSERT_TRUE(LoadBenchFont(&font, &problem)) << problem;
    TextFace face;
    ASSERT_TRUE(face.Load(font.data(), font.size(), 25, &problem)) << problem;
    // Wide and tall images, text reaching past each side, a clip far larger
    // than the image and one a pixel larger on each side: only the image's
    // own pixels change (AddressSanitizer sees any other).
    const Rgb white = {255, 255, 255};
    const struct {
        int width, height, left, top;
    } rows[] = {{60, 10, 0, -5}, {60, 10, -8, 0}, {10, 60, 0, 40}, {10, 60, -3, 0}, {60, 10, 50, -10}};
    for (const auto& r : rows)
        for (const PixelBox clip : {PixelBox{-100, -100, 1000, 1000}, PixelBox{-1, -1, r.width + 1, r.height + 1}}) {
            Image image(r.width, r.height);
            face.Draw(image, r.left, r.top, "888", white, clip);
            int lit = 0;
            for (int y = 0; y < image.Height; ++y)
                for (int x = 0; x < image.Width; ++x)
                    lit += image.At(x, y) != Rgb{0, 0, 0};
            EXPECT_GT(lit, 0) << r.width << " x " << r.height << " at " << r.left << ", " << r.top;
        }
}

TEST(TextFace, OnlyATrueTypeFileItCanReadIsLoaded)
{
    std::vector<uint8_t> font;
    std::string problem;
    ASSERT_TRUE(LoadBenchFont(&font, &problem)) << problem;
    const std::vector<uint8_t> zeros(64, 0);
    const struct {
        const uint8_t* bytes;
        size_t size;
        const char* problem; // empty: loaded
    } rows[] = {
        {nullptr, 100, "not a TrueType file (100 bytes)"},
        {zeros.data(), 0, "not a TrueType file (0 bytes)"},
        {font.data(), 11, "not a TrueType file (11 bytes)"},
        {zeros.data(), 12, "not a TrueType font stb_truetype can read"},
        {zeros.data(), 0x7FFFFFFF, "not a TrueType font stb_truetype can read"},
        {zeros.data(), 0x80000000u, "not a TrueType file (2147483648 bytes)"},
        {font.data(), font.size(), ""},
    };
    for (const auto& row : rows) {
        TextFace face;
        std::string why;
        EXPECT_EQ(face.Load(row.bytes, row.size, 25, &why), *row.problem == '\0') << row.size << ": " << why;
        EXPECT_EQ(why, row.problem);
        EXPECT_EQ(face.Loaded(), *row.problem == '\0');
        EXPECT_EQ(face.CellHeight(), *row.problem ? 0 : 25);
    }
}

TEST(PassPainter, APanelThatCannotBePaintedStaysRefusedForEveryPass)
{
    PassPainter painter;
    PassRecord pass;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(painter.Paint(pass)) << "pass " << i;
        EXPECT_EQ(painter.Problem(), "no module is loaded");
        EXPECT_FALSE(painter.Changed());
    }
}
