// The one reading of Lumivane's panel, read from passes as a host holds them:
// only Lumivane's own chain is read (any element of another kind or bitmap,
// or another length, is another gauge's), every lamp and mark from its own
// element, and the areas' roles only of Lumivane's registered list, by
// number. The made-up passes come from PanelResults, the reading's inverse;
// the areas from the real module. In both builds.
#include "bench/hosting/GaugeHost.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/lumivane/Sentences.h"
#include "bench/measuring/PanelResults.h"
#include "tests/bench/flying/BenchPaths.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

TEST(PanelReading, OnlyLumivanesOwnChainIsRead)
{
    const bool lamps[PanelSpeeds] = {true, false, false}, marks[PanelSpeeds] = {false, true, false};
    const PassResults base = PanelResults(lamps, marks, " 90");
    ASSERT_TRUE(ReadDisplay(&base).Lumivane);
    EXPECT_FALSE(ReadDisplay(nullptr).Lumivane) << "no pass: the gauge killed";
    for (int count : {base.Count - 1, base.Count + 1}) {
        PassResults other = base;
        other.Count = count;
        EXPECT_FALSE(ReadDisplay(&other).Lumivane) << count << " elements";
    }
    for (int i = 0; i < base.Count; ++i) {
        PassResults kind = base, bitmap = base;
        kind.Elements[i].Kind = kind.Elements[i].Kind == IconKind ? TextStringKind : IconKind;
        bitmap.Elements[i].BitmapId += 1;
        EXPECT_FALSE(ReadDisplay(&kind).Lumivane) << "element " << i << " of another kind";
        EXPECT_FALSE(ReadDisplay(&bitmap).Lumivane) << "element " << i << " with another bitmap";
    }
}

TEST(PanelReading, EveryLampAndMarkIsReadFromItsOwnElement)
{
    for (int bits = 0; bits < 64; ++bits) {
        bool lamps[PanelSpeeds], marks[PanelSpeeds];
        int lit = 0, selected = -1;
        for (int k = 0; k < PanelSpeeds; ++k) {
            lamps[k] = bits >> k & 1;
            marks[k] = bits >> (k + 3) & 1;
            if (marks[k]) {
                ++lit;
                selected = k;
            }
        }
        const PassResults pass = PanelResults(lamps, marks, "100");
        const PanelDisplay display = ReadDisplay(&pass);
        ASSERT_TRUE(display.Lumivane);
        for (int k = 0; k < PanelSpeeds; ++k) {
            EXPECT_EQ(display.Lamps[k], lamps[k]) << "lamp " << k + 1 << " of " << bits;
            EXPECT_EQ(display.Marks[k], marks[k]) << "mark " << k + 1 << " of " << bits;
        }
        EXPECT_EQ(display.Selected, lit == 1 ? selected : -1) << bits;
        EXPECT_STREQ(display.Readout, "100");
        EXPECT_TRUE(display.Formatted);
        EXPECT_FALSE(display.LoadStopped);
    }
}

// The readout's result says how the gauge's load of its settings files went:
// done (the host's argument handed back), stopped at a file that would not
// open, or neither.
TEST(PanelReading, TheReadoutsResultSaysHowTheLoadWent)
{
    const bool dark[PanelSpeeds] = {};
    const struct {
        bool called;
        double result;
        bool formatted, stopped;
    } rows[] = {
        {true, GaugeHost::TextArgument, true, false},
        {true, ReadoutLoadStopped, false, true},
        {true, 0.0, false, false},
        {false, ReadoutLoadStopped, false, false},
    };
    for (const auto& row : rows) {
        PassResults pass = PanelResults(dark, dark, "100");
        pass.Elements[PanelReadoutElement].Called = row.called;
        pass.Elements[PanelReadoutElement].Result = row.result;
        const PanelDisplay display = ReadDisplay(&pass);
        EXPECT_EQ(display.Formatted, row.formatted) << row.result << (row.called ? "" : ", not called");
        EXPECT_EQ(display.LoadStopped, row.stopped) << row.result << (row.called ? "" : ", not called");
    }
}

TEST(PanelReading, AreasHaveRolesOnlyInLumivanesListByNumber)
{
    GaugeHost host;
    std::string error;
    ASSERT_TRUE(host.Load(ModulePath(), &error)) << error;
    host.ConnectServices();
    host.Install(0);
    const MouseArea* areas = host.MouseAreas();
    ASSERT_NE(areas, nullptr);
    const PanelControl controls[] = {PanelControl::None, PanelControl::Decrease, PanelControl::Increase,
                                      PanelControl::Selector3, PanelControl::Selector2,
                                      PanelControl::Selector1, PanelControl::None};
    for (int number = 0; number < int(sizeof controls / sizeof controls[0]); ++number) {
        EXPECT_EQ(AreaControl(areas, number), controls[number]) << "area " << number;
        EXPECT_EQ(AreaControl(nullptr, number), PanelControl::None) << "area " << number << " of no list";
    }
    EXPECT_EQ(AreaControl(areas, -1), PanelControl::None);
    // Another gauge's list of the same shape, one record's kind or cursor
    // apart, gives no area a role and no control a place.
    constexpr int Records = 7;
    for (int i = 0; i < Records; ++i) {
        for (bool cursor : {false, true}) {
            // The group's start and end are no places of their own: their
            // cursors say nothing of whose list it is.
            if (cursor && (i == 0 || i == Records - 1))
                continue;
            MouseArea other[Records];
            memcpy(other, areas, sizeof other);
            (cursor ? other[i].Cursor : other[i].Type) += 1;
            int x = -1, y = -1;
            for (int number = 0; number < Records; ++number)
                EXPECT_EQ(AreaControl(other, number), PanelControl::None)
                    << "area " << number << ", record " << i << (cursor ? "'s cursor" : "'s kind") << " another";
            EXPECT_FALSE(ControlMiddle(other, PanelControl::Increase, &x, &y)) << "record " << i;
        }
    }
    host.Kill();
}

TEST(PanelReading, WhatAPersonIsToldIsTheReadingsOwn)
{
    PanelReading reading;
    reading.Display.Lumivane = true;
    reading.Speeds[0] = 80, reading.Speeds[1] = 91, reading.Speeds[2] = 100;
    reading.SpeedKnown[0] = reading.SpeedKnown[1] = true;
    reading.SpeedKnown[2] = false;
    const struct {
        bool lumivane;
        int selected;
        const char* said;
    } selections[] = {
        {true, 0, "Speed1 selected: 80"}, {true, 1, "Speed2 selected: 91"}, {true, 2, "Speed3 selected: ?"},
        {true, -1, ""}, {false, 1, ""},
    };
    for (const auto& s : selections) {
        reading.Display.Lumivane = s.lumivane;
        reading.Display.Selected = s.selected;
        EXPECT_EQ(SelectionSentence(reading), s.said) << s.selected;
    }
    const char* const callouts[] = {"A call-out", "Speed1: single beep", "Speed2: single beep", "Speed3: double beep",
                                    "A call-out"};
    for (int speed = -1; speed <= 4; ++speed)
        EXPECT_EQ(CalloutSentence(speed), callouts[speed < 0 ? 0 : speed]) << speed;

    // The call-out a play is named as, after a few passes from a fresh load.
    // A play no lamp foresaw is named by its clip alone: only the double beep
    // is known to be Speed3's. An airspeed that is not a number re-arms
    // nothing, nor loses the stage, even with Speed1 unknown (a readout that
    // says nothing of the load forgets the speeds).
    struct Pass {
        double airspeed;
        bool lamp1, speedsLost;
        const char* clip;
    };
    const struct {
        const char* what;
        std::vector<Pass> passes;
        int callout;
    } plays[] = {
        {"the double beep, foreseen by no lamp", {{40.0, false, false, "Wave2"}}, 3},
        {"the single beep, foreseen by no lamp", {{40.0, false, false, "Wave1"}}, 0},
        {"a clip of another name", {{40.0, false, false, "wave2"}}, 0},
        {"a clip of a shorter name", {{40.0, false, false, "Wave"}}, 0},
        {"lamp 1 lit after airspeeds that are no number", {{NAN, false, true, nullptr}, {NAN, false, true, nullptr},
            {85.0, true, true, "Wave1"}}, 1},
    };
    const bool third[PanelSpeeds] = {false, false, true};
    for (const auto& row : plays) {
        LumivaneReader reader;
        reader.ModuleLoaded("no-such-sandbox");
        for (const Pass& p : row.passes) {
            const bool lamps[PanelSpeeds] = {p.lamp1, false, false};
            PassResults pass = PanelResults(lamps, third, "100");
            if (p.speedsLost)
                pass.Elements[PanelReadoutElement].Result = 0.0;
            reader.Passed(&pass, p.airspeed, &p.clip, p.clip ? 1 : 0);
        }
        ASSERT_EQ(reader.Reading().CalloutCount, 1) << row.what;
        EXPECT_EQ(reader.Reading().Callouts[0], row.callout) << row.what;
    }
}

} // namespace
