// The speeds a link to the page carries: taken whole only when the gauge's
// own adjusts could have set them, refused whole otherwise with a sentence
// that quotes a bounded piece of the text. The page's own test follows the
// same links through the browser; this table holds the reader's answers.
#include "bench/lumivane/SpeedList.h"

#include <gtest/gtest.h>

namespace {

TEST(SpeedList, IsTakenWholeOrRefusedWithItsReason)
{
    const struct {
        std::string text;
        int32_t speeds[PanelSpeeds]; // when taken
        const char* problem;         // when refused
    } rows[] = {
        {"85,95,105", {85, 95, 105}, nullptr},
        {"0,1,2", {0, 1, 2}, nullptr},
        {"198,199,200", {198, 199, 200}, nullptr},
        {"080,90,100", {80, 90, 100}, nullptr},
        {"85,95", {}, "a link gives exactly 3 speeds, this one gives 2"},
        {"85,95,105,115", {}, "a link gives exactly 3 speeds, this one gives 4"},
        {"", {}, "a link gives exactly 3 speeds, this one gives 1"},
        {"95,85,105", {}, "Speed2 must be above Speed1, the link gives 95 and 85"},
        {"85,95,95", {}, "Speed3 must be above Speed2, the link gives 95 and 95"},
        {"-1,95,105", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c-1\u201d"},
        {"199,199,200", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c199\u201d"},
        {"85,0,105", {}, "Speed2 must be a whole number from 1 to 199, the link gives \u201c0\u201d"},
        {"85,95,201", {}, "Speed3 must be a whole number from 2 to 200, the link gives \u201c201\u201d"},
        {"85,95,1", {}, "Speed3 must be a whole number from 2 to 200, the link gives \u201c1\u201d"},
        {"85.5,95,105", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c85.5\u201d"},
        {",95,105", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c\u201d"},
        {"85,,105", {}, "Speed2 must be a whole number from 1 to 199, the link gives \u201c\u201d"},
        {" 85,95,105", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c 85\u201d"},
        {"85,95,105 ", {}, "Speed3 must be a whole number from 2 to 200, the link gives \u201c105 \u201d"},
        {"0085,95,105", {}, "Speed1 must be a whole number from 0 to 198, the link gives \u201c0085\u201d"},
        {"85,95," + std::string(40, '9'), {},
            "Speed3 must be a whole number from 2 to 200, the link gives \u201c999999999999\u201d"},
    };
    for (const auto& row : rows) {
        int32_t speeds[PanelSpeeds] = {-7, -7, -7};
        std::string problem = "untouched";
        const bool taken = ReadSpeedList(row.text, speeds, &problem);
        EXPECT_EQ(taken, row.problem == nullptr) << row.text;
        if (taken) {
            EXPECT_EQ(problem, "untouched") << row.text;
            for (int k = 0; k < PanelSpeeds; ++k)
                EXPECT_EQ(speeds[k], row.speeds[k]) << row.text << ", Speed" << k + 1;
        } else {
            EXPECT_EQ(problem, row.problem) << row.text;
        }
    }
}

} // namespace
