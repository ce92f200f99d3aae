// The adjust and select handlers and the selector marks: each adjust is one
// step, held first by its fixed bound and then by its neighbour, and saved even
// when nothing moved.
#include "SettingsFixture.h"

#include <climits>

namespace {

struct Step {
    const char* name;
    int32_t speeds[3];
    int32_t selected;
    bool up;
    int32_t expected[3];
};

void PrintTo(const Step& step, std::ostream* out)
{
    *out << step.name;
}

class StepRules : public SettingsTest, public ::testing::WithParamInterface<Step> {};

TEST_P(StepRules, OneStepThenSave)
{
    const Step& step = GetParam();
    SetSpeeds(step.speeds[0], step.speeds[1], step.speeds[2]);
    SelectedSpeed = step.selected;
    int32_t result = step.up ? SpeedUpHandler(0, 0) : SpeedDownHandler(0, 0);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Speed1, step.expected[0]) << step.name;
    EXPECT_EQ(Speed2, step.expected[1]) << step.name;
    EXPECT_EQ(Speed3, step.expected[2]) << step.name;
    EXPECT_EQ(SelectedSpeed, step.selected) << "an adjust never changes the selection";

    // Only the adjusted speed's file is written, and it holds the final value.
    const char* files[3] = {Speed1File, Speed2File, Speed3File};
    for (int32_t i = 0; i < 3; ++i) {
        if (i == step.selected)
            EXPECT_EQ(ReadFile(files[i]), std::to_string(step.expected[i])) << step.name;
        else
            EXPECT_EQ(ReadFile(files[i]), "<missing>") << step.name;
    }
}

const Step Steps[] = {
    {"Speed1Down", {80, 90, 100}, 0, false, {79, 90, 100}},
    {"Speed1DownHeldAt0", {0, 90, 100}, 0, false, {0, 90, 100}},
    {"Speed1DownFrom1", {1, 90, 100}, 0, false, {0, 90, 100}},
    {"Speed1Up", {80, 90, 100}, 0, true, {81, 90, 100}},
    {"Speed1UpHeldBelowSpeed2", {89, 90, 100}, 0, true, {89, 90, 100}},
    {"Speed1UpHeldAt198", {198, 250, 300}, 0, true, {198, 250, 300}},
    {"Speed1UpFrom197", {197, 199, 200}, 0, true, {198, 199, 200}},
    {"Speed2Down", {80, 90, 100}, 1, false, {80, 89, 100}},
    {"Speed2DownHeldAboveSpeed1", {80, 81, 100}, 1, false, {80, 81, 100}},
    {"Speed2DownHeldAt1", {-5, 1, 100}, 1, false, {-5, 1, 100}},
    {"Speed2Up", {80, 90, 100}, 1, true, {80, 91, 100}},
    {"Speed2UpHeldBelowSpeed3", {80, 99, 100}, 1, true, {80, 99, 100}},
    {"Speed2UpHeldAt199", {80, 199, 300}, 1, true, {80, 199, 300}},
    {"Speed3Down", {80, 90, 100}, 2, false, {80, 90, 99}},
    {"Speed3DownHeldAboveSpeed2", {80, 90, 91}, 2, false, {80, 90, 91}},
    {"Speed3DownHeldAt2", {-9, -5, 2}, 2, false, {-9, -5, 2}},
    {"Speed3Up", {80, 90, 100}, 2, true, {80, 90, 101}},
    {"Speed3UpHeldAt200", {80, 90, 200}, 2, true, {80, 90, 200}},
    {"Speed3UpHasNoUpperNeighbour", {80, 90, 150}, 2, true, {80, 90, 151}},
    // Out of order, as only settings files can make them: the neighbour rule
    // comes last and wins over the fixed bound.
    {"OutOfOrderSpeed2DownJumpsAboveSpeed1", {150, 90, 100}, 1, false, {150, 151, 100}},
    {"OutOfOrderSpeed1UpDropsBelowSpeed2", {150, 90, 100}, 0, true, {89, 90, 100}},
    {"Speed2PastItsCeilingAboveSpeed1", {250, 90, 100}, 1, false, {250, 251, 100}},
    {"Speed3BelowItsFloorJumpsAboveSpeed2", {0, 5, 2}, 2, false, {0, 5, 6}},
    // At the 32-bit limits a step saturates instead of wrapping.
    {"Speed1UpFromMinimum", {INT32_MIN, 90, 100}, 0, true, {INT32_MIN + 1, 90, 100}},
    {"Speed1DownFromMinimum", {INT32_MIN, 90, 100}, 0, false, {0, 90, 100}},
    {"Speed2DownBelowMaximumSpeed1", {INT32_MAX, 90, 100}, 1, false, {INT32_MAX, INT32_MAX, 100}},
    {"Speed2UpAboveMinimumSpeed3", {80, 90, INT32_MIN}, 1, true, {80, INT32_MIN, INT32_MIN}},
    {"Speed1UpBelowMinimumSpeed2", {80, INT32_MIN, 100}, 0, true, {INT32_MIN, INT32_MIN, 100}},
    {"Speed3UpFromMaximum", {80, 90, INT32_MAX}, 2, true, {80, 90, 200}},
    {"Speed3DownFromMaximumSpeed2", {80, INT32_MAX, INT32_MAX}, 2, false, {80, INT32_MAX, INT32_MAX}},
};

INSTANTIATE_TEST_SUITE_P(Adjust, StepRules, ::testing::ValuesIn(Steps),
                         [](const ::testing::TestParamInfo<Step>& info) { return info.param.name; });

TEST_F(SettingsTest, RepeatedStepsStopAtTheirLimits)
{
    SelectedSpeed = 1;
    for (int i = 0; i < 10; ++i)
        SpeedDownHandler(0, 0);
    EXPECT_EQ(Speed2, 81) << "after 10 decreases of Speed2: nine steps, then held by Speed1 = 80";
    EXPECT_EQ(ReadFile(Speed2File), "81");

    SelectedSpeed = 2;
    for (int i = 0; i < 120; ++i)
        SpeedUpHandler(0, 0);
    EXPECT_EQ(Speed3, 200) << "after 120 increases of Speed3";
    EXPECT_EQ(ReadFile(Speed3File), "200");
}

// A select changes the selection and nothing else, and exactly the selected
// speed's mark shows; at load Speed3 is selected, so only the top mark shows.
TEST_F(SettingsTest, SelectingChangesOnlyTheSelectionAndWhichMarkShows)
{
    const IconCallback marks[3] = {Speed1MarkCallback, Speed2MarkCallback, Speed3MarkCallback};
    struct {
        AreaHandler handler; // none: as loaded
        int32_t selection;
    } selects[] = {{nullptr, 2}, {SelectSpeed1Handler, 0}, {SelectSpeed2Handler, 1}, {SelectSpeed3Handler, 2},
                   {SelectSpeed3Handler, 2}};
    for (const auto& select : selects) {
        if (select.handler)
            EXPECT_EQ(select.handler(1, 2), 1);
        EXPECT_EQ(SelectedSpeed, select.selection);
        for (int32_t m = 0; m < 3; ++m)
            EXPECT_EQ(marks[m](nullptr), m == select.selection ? 0.0 : -1.0)
                << "Speed" << m + 1 << "'s mark with Speed" << select.selection + 1 << " selected";
        EXPECT_EQ(Speed1, 80);
        EXPECT_EQ(Speed2, 90);
        EXPECT_EQ(Speed3, 100);
    }
    EXPECT_EQ(ReadFile(Speed1File), "<missing>") << "a select writes no file";
    EXPECT_EQ(ReadFile(Speed2File), "<missing>");
    EXPECT_EQ(ReadFile(Speed3File), "<missing>");
}

} // namespace
