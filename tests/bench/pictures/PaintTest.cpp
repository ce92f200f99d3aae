// The painter draws the real module's panel as the host does, in both
// builds: a lamp lights exactly the pixels of its well and goes dark again
// when its result does (the restore flag at work), a shown selector mark
// lights its own square and no other pixel, and the readout stays in its box,
// centred as a whole so that " 80" puts its digits where "180" puts its last
// two. Elements are found by their bitmap ids, not by their place in the chain.
#include "tests/bench/TestModule.h"
#include "bench/pictures/ContactSheet.h"
#include "bench/pictures/FrameRecorder.h"
#include "bench/pictures/PanelPainter.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::set<std::pair<int, int>> PixelSet;

const Rgb BrightRed = {255, 0, 0}, DarkRed = {153, 0, 0}, NearBlack = {4, 4, 4}, LightGrey = {204, 204, 204};
const Rgb ReadoutText = {239, 239, 239};
const PixelBox ReadoutBox = {25, 35, 87, 60};

PixelSet Differences(const Image& a, const Image& b)
{
    PixelSet differ;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (a.At(x, y) != b.At(x, y))
                differ.insert({x, y});
    return differ;
}

bool Inside(const PixelBox& box, int x, int y)
{
    return x >= box.Left && x < box.Right && y >= box.Top && y < box.Bottom;
}

class PaintTest : public testing::Test {
protected:
    void SetUp() override
    {
        void* module = LoadTestModule();
        ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
        std::string problem;
        ASSERT_TRUE(painter.Load(module, TestModuleLinkage(module), &problem)) << problem;
        ASSERT_EQ(painter.Elements().size(), 8u) << "elements in the chain";
        dark.assign(painter.Elements().size(), -1.0);
    }

    size_t ElementWithBitmap(int32_t id) const
    {
        for (size_t i = 0; i < painter.Elements().size(); ++i)
            if (painter.Elements()[i].BitmapId == id)
                return i;
        ADD_FAILURE() << "no element draws bitmap " << id;
        return 0;
    }

    // Paints the pass whose results pick image 0 where `shown` is 0.0, and
    // give every text element `readout`, as the host holds them.
    Image PaintWith(const std::vector<double>& shown, const char* readout = " 80")
    {
        PassResults results;
        results.Count = int(painter.Elements().size());
        for (int i = 0; i < results.Count; ++i) {
            ElementResult& element = results.Elements[i];
            element.Kind = painter.Elements()[size_t(i)].Kind;
            element.Image = shown[size_t(i)] == 0.0 ? 0 : -1;
            snprintf(element.Text, sizeof element.Text, "%s", readout);
        }
        painter.Paint(&results);
        return painter.Frame();
    }

    std::vector<double> Showing(int32_t bitmap)
    {
        std::vector<double> results = dark;
        results[ElementWithBitmap(bitmap)] = 0.0;
        return results;
    }

    PanelPainter painter;
    std::vector<double> dark;
};

} // namespace

TEST_F(PaintTest, ALitLampChangesExactlyItsWell)
{
    const Image allDark = PaintWith(dark);
    ASSERT_EQ(allDark.Width, 100);
    ASSERT_EQ(allDark.Height, 70);
    EXPECT_EQ(allDark.At(0, 0), PanelPainter::PanelColour) << "the panel shows where the background is transparent";
    const struct {
        int32_t Bitmap;
        int FirstColumn;
    } lamps[] = {{8192, 24}, {8195, 49}, {8198, 74}};
    for (const auto& lamp : lamps) {
        PixelSet well;
        for (int y = 15; y <= 18; ++y)
            for (int x = lamp.FirstColumn; x < lamp.FirstColumn + 16; ++x) {
                well.insert({x, y});
                EXPECT_EQ(allDark.At(x, y), NearBlack) << "dark well of lamp " << lamp.Bitmap << " at " << x << "," << y;
            }
        const Image lit = PaintWith(Showing(lamp.Bitmap));
        EXPECT_EQ(Differences(allDark, lit), well) << "pixels lamp " << lamp.Bitmap << " changes";
        for (const auto& [x, y] : well) {
            const int column = x - lamp.FirstColumn;
            const Rgb expected = column < 2 || column >= 14 ? DarkRed : BrightRed;
            EXPECT_EQ(lit.At(x, y), expected) << "lamp " << lamp.Bitmap << " at " << x << "," << y;
        }
        EXPECT_EQ(PaintWith(dark), allDark) << "lamp " << lamp.Bitmap << " dark again leaves its well as before";
    }
}

TEST_F(PaintTest, AShownMarkLightsItsOwnSquareOnly)
{
    const Image none = PaintWith(dark);
    const struct {
        int32_t Bitmap;
        int Top; // of its selector square, 8 wide and 7 high at column 8
    } marks[] = {{12288, 54}, {12291, 35}, {12294, 16}};
    for (const auto& mark : marks) {
        const Image shown = PaintWith(Showing(mark.Bitmap));
        const PixelBox square = {8, mark.Top, 16, mark.Top + 7};
        const PixelSet changed = Differences(none, shown);
        EXPECT_FALSE(changed.empty()) << "mark " << mark.Bitmap << " changes no pixel";
        for (const auto& [x, y] : changed)
            EXPECT_TRUE(Inside(square, x, y)) << "mark " << mark.Bitmap << " changes " << x << "," << y;
        // The art's look: a bright red square with a dark red edge, while the
        // other squares stay light grey.
        EXPECT_EQ(shown.At(8, mark.Top), DarkRed) << "edge of the square under mark " << mark.Bitmap;
        EXPECT_EQ(shown.At(11, mark.Top + 3), BrightRed) << "middle of the square under mark " << mark.Bitmap;
        for (int top : {16, 35, 54})
            if (top != mark.Top)
                EXPECT_EQ(shown.At(11, top + 3), LightGrey) << "square at row " << top << " with mark " << mark.Bitmap;
    }
}

TEST_F(PaintTest, TheReadoutStaysInItsBoxCentredAsAWhole)
{
    ASSERT_EQ(painter.TextProblem(), "") << "the readout must be drawn";
    const Image blank = PaintWith(dark, "");
    PixelSet digits[4];
    const char* texts[] = {"100", "180", " 80", "80"};
    Image frames[4];
    for (int i = 0; i < 4; ++i) {
        frames[i] = PaintWith(dark, texts[i]);
        digits[i] = Differences(blank, frames[i]);
        EXPECT_GT(digits[i].size(), 20u) << "pixels drawn for \"" << texts[i] << "\"";
        int ofTextColour = 0;
        for (const auto& [x, y] : digits[i]) {
            EXPECT_TRUE(Inside(ReadoutBox, x, y)) << "\"" << texts[i] << "\" draws at " << x << "," << y;
            ofTextColour += frames[i].At(x, y) == ReadoutText;
        }
        EXPECT_GT(ofTextColour, 5) << "pixels of the text colour in \"" << texts[i] << "\"";
    }
    auto rightmost = [](const PixelSet& pixels) {
        int column = -1;
        for (const auto& pixel : pixels)
            column = std::max(column, pixel.first);
        return column;
    };
    // Every character is as wide as the space: " 80" ends where "100" does,
    // and its digits are those of "180".
    EXPECT_EQ(rightmost(digits[2]), rightmost(digits[0])) << "last column of \" 80\" and of \"100\"";
    for (const auto& [x, y] : digits[2])
        EXPECT_EQ(frames[2].At(x, y), frames[1].At(x, y)) << "\" 80\" and \"180\" at " << x << "," << y;
    EXPECT_LT(rightmost(digits[3]), rightmost(digits[2])) << "\"80\", two characters, is centred on its own";
}

// The painter paints a pass again only when its picture differs from the
// last: two passes are the same picture exactly when they have as many
// elements and each shows the same kind, image and text; what a callback was
// given or returned is not part of the picture.
TEST(PassResults, TheSamePictureIsEveryElementsKindImageAndText)
{
    PassResults base;
    base.Count = 3;
    base.Elements[0] = {};
    base.Elements[1].Kind = IconKind;
    base.Elements[1].Image = 0;
    base.Elements[2].Kind = TextStringKind;
    memcpy(base.Elements[2].Text, " 80", 4);
    const struct {
        const char* change;
        void (*apply)(PassResults*);
        bool same;
    } rows[] = {
        {"nothing", [](PassResults*) {}, true},
        {"a result", [](PassResults* p) { p->Elements[1].Result = 5; }, true},
        {"an argument", [](PassResults* p) { p->Elements[2].Argument = 0.5; }, true},
        {"called", [](PassResults* p) { p->Elements[0].Called = true; }, true},
        {"an element past the count", [](PassResults* p) { p->Elements[3].Image = 2; }, true},
        {"the count", [](PassResults* p) { p->Count = 2; }, false},
        {"a kind", [](PassResults* p) { p->Elements[0].Kind = IconKind; }, false},
        {"an image", [](PassResults* p) { p->Elements[1].Image = 1; }, false},
        {"the last element's image", [](PassResults* p) { p->Elements[2].Image = 0; }, false},
        {"a text", [](PassResults* p) { p->Elements[2].Text[2] = '1'; }, false},
        {"a text made longer", [](PassResults* p) { p->Elements[2].Text[3] = '!'; }, false},
    };
    for (const auto& row : rows) {
        PassResults changed = base;
        row.apply(&changed);
        EXPECT_EQ(changed == base, row.same) << row.change;
        EXPECT_EQ(base == changed, row.same) << row.change;
        EXPECT_EQ(changed != base, !row.same) << row.change;
    }
}

// Frame names list in pass order however long the run: as many digits as its
// last pass needs, six at least, the same for every frame of the run; past a
// million passes (a day at 18 a second has 1,555,201) six would sort pass
// 1,000,000 before pass 999,999.
TEST(FrameName, EveryNameOfARunIsAsLongAsItsLastPassNeeds)
{
    const struct {
        uint64_t pass, last;
        const char* name;
    } rows[] = {
        {0, 0, "pass-000000.png"},
        {108, 216, "pass-000108.png"},
        {999999, 999999, "pass-999999.png"},
        {0, 1000000, "pass-0000000.png"},
        {999999, 1555200, "pass-0999999.png"},
        {1555200, 1555200, "pass-1555200.png"},
        {86400000, 86400000, "pass-86400000.png"},
        {0, 86400000, "pass-00000000.png"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FrameName(row.pass, row.last), row.name) << "pass " << row.pass << " of " << row.last;
    for (uint64_t last : {uint64_t(0), uint64_t(999999), uint64_t(1000000), uint64_t(1555200), uint64_t(86400000)}) {
        std::string before;
        for (uint64_t pass : {uint64_t(0), last / 3, last / 2, last - 1, last}) {
            if (pass > last)
                continue;
            const std::string name = FrameName(pass, last);
            EXPECT_LE(before, name) << "pass " << pass << " of " << last << " lists in order";
            EXPECT_EQ(name.size(), FrameName(last, last).size()) << "pass " << pass << " of " << last;
            before = name;
        }
    }
}

// A frame of its own for each change of a run, told apart by its colour.
Image ChangeFrame(size_t change)
{
    return Image(2, 1, {uint8_t(change), uint8_t(change >> 8), uint8_t(change >> 16)});
}

TEST(FrameSelector, PicksAsManyAsAskedEvenlyTheFirstAndLastAmongThem)
{
    FrameSelector selector;
    std::vector<std::string> all;
    for (int i = 0; i < 10; ++i) {
        selector.Offer(ChangeFrame(size_t(i)), std::to_string(i));
        all.push_back(std::to_string(i));
    }
    const struct {
        size_t limit;
        std::vector<std::string> labels;
    } rows[] = {
        {0, {}}, {1, {"0"}}, {2, {"0", "9"}}, {3, {"0", "4", "9"}}, {9, {"0", "1", "2", "3", "4", "5", "6", "7", "9"}},
        {10, all}, {11, all},
    };
    for (const auto& row : rows) {
        std::vector<std::string> labels;
        for (const LabelledFrame& frame : selector.Pick(row.limit))
            labels.push_back(frame.Label);
        EXPECT_EQ(labels, row.labels) << "a limit of " << row.limit;
    }
}

// However many changes a run makes, past the selector's thinning (at
// MostKept, then at every doubling of its stride) and whatever it is asked
// for: the picked frames are whole pictures, in time order, the first and
// the last change among them, as many as asked where there are that many,
// and evenly spread: no gap between two picked changes is under half or over
// one and a half of the even gap (and one change more, as changes are
// whole). A frame offered again unchanged is one change.
TEST(FrameSelector, AnyNumberOfChangesKeepsTheFirstAndLastInOrderEvenlyWithinTheLimit)
{
    const size_t most = FrameSelector::MostKept;
    const size_t changes[] = {1, 2, 23, 24, 25, most - 1, most, most + 1, 2 * most - 1, 2 * most, 2 * most + 1,
        1000, 4 * most + 3, 10000, 65537};
    const size_t limits[] = {1, 2, 3, 24, most / 2 + 1, most + 10};
    for (size_t count : changes) {
        for (int repeated = 0; repeated < 2; ++repeated) {
            FrameSelector selector;
            for (size_t change = 0; change < count; ++change)
                for (int offer = 0; offer <= repeated; ++offer)
                    selector.Offer(ChangeFrame(change), std::to_string(change));
            const std::string run = std::to_string(count) + " changes" + (repeated ? ", each offered twice" : "");
            EXPECT_EQ(selector.Offered(), count) << run;
            for (size_t limit : limits) {
                const std::vector<LabelledFrame> picked = selector.Pick(limit);
                const std::string asked = run + ", a limit of " + std::to_string(limit);
                ASSERT_FALSE(picked.empty()) << asked;
                EXPECT_LE(picked.size(), limit) << asked;
                if (limit <= most / 2 + 1)
                    EXPECT_EQ(picked.size(), std::min(count, limit)) << asked;
                std::vector<size_t> at;
                for (const LabelledFrame& frame : picked) {
                    ASSERT_EQ(frame.Frame.Pixels.size(), 6u) << asked << ": change " << frame.Label << " is whole";
                    const size_t change = std::stoul(frame.Label);
                    EXPECT_EQ(frame.Frame, ChangeFrame(change)) << asked << ": change " << change << "'s own picture";
                    at.push_back(change);
                }
                EXPECT_EQ(at.front(), 0u) << asked << ": the first change";
                if (limit > 1)
                    EXPECT_EQ(at.back(), count - 1) << asked << ": the last change";
                for (size_t i = 1; i < at.size(); ++i)
                    ASSERT_LT(at[i - 1], at[i]) << asked << ": in time order";
                if (limit > 24 || at.size() < 3 || count <= at.size())
                    continue;
                const double even = double(count - 1) / double(at.size() - 1);
                for (size_t i = 1; i < at.size(); ++i) {
                    EXPECT_GE(double(at[i] - at[i - 1]), even / 2) << asked << ": gap " << i;
                    EXPECT_LE(double(at[i] - at[i - 1]), even * 1.5 + 1) << asked << ": gap " << i;
                }
            }
        }
    }
}
