// Where a press lands and which cursor a pointer shows, as the host finds
// them in the list a gauge registers: the real module's areas at their
// corners and one pixel past each edge, and lists of the test's own handed
// to the host's register entry, so that what Lumivane's list never does
// (a group start with a cursor of its own, an area without the left button,
// no group start) is met too. In both builds.
#include "bench/hosting/GaugeHost.h"
#include "host/Services.h"

#include "tests/bench/flying/BenchPaths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int32_t GAUGE_STDCALL Handled(uint32_t, uint32_t)
{
    return 1;
}

struct Box {
    int X, Y, Width, Height;
    int32_t Cursor;
    int Number; // in the registered list
};

// Lumivane's panel as a pilot meets it: lower, raise, then the marks of
// Speed3, Speed2 and Speed1, top to bottom.
const Box LumivaneAreas[] = {
    {25, 35, 30, 38, DownArrowCursor, 1},
    {57, 25, 30, 38, UpArrowCursor, 2},
    {3, 12, 14, 14, HandCursor, 3},
    {3, 31, 14, 14, HandCursor, 4},
    {3, 50, 14, 14, HandCursor, 5},
};

TEST(MouseAreas, PressesAndCursorsLandInTheRealModulesAreasToTheirEdges)
{
    GaugeHost host;
    std::string error;
    EXPECT_EQ(host.Width() * host.Height(), 0) << "no module, no size";
    ASSERT_TRUE(host.Load(ModulePath(), &error)) << error;
    // The gauge's size is its background's bitmap, which the module carries.
    EXPECT_EQ(host.Width(), 100);
    EXPECT_EQ(host.Height(), 70);
    host.ConnectServices();
    host.Install(0);
    ASSERT_NE(host.MouseAreas(), nullptr);
    // The lowest and rightmost areas reach past the 100 × 70 gauge, where
    // nothing answers.
    for (const Box& b : LumivaneAreas) {
        const struct {
            int x, y;
            bool inside;
        } points[] = {
            {b.X, b.Y, true},
            {b.X + b.Width - 1, b.Y, true},
            {b.X, b.Y + b.Height - 1, true},
            {b.X + b.Width - 1, b.Y + b.Height - 1, true},
            {b.X - 1, b.Y, false},
            {b.X + b.Width, b.Y, false},
            {b.X, b.Y - 1, false},
            {b.X, b.Y + b.Height, false},
        };
        for (const auto& p : points) {
            const bool onGauge = p.x >= 0 && p.y >= 0 && p.x < host.Width() && p.y < host.Height();
            const MouseArea* area = host.AreaAt(p.x, p.y);
            if (p.inside) {
                EXPECT_EQ(host.CursorCodeAt(p.x, p.y), b.Cursor) << p.x << ", " << p.y;
                EXPECT_EQ(host.AreaNumber(area), onGauge ? b.Number : -1) << p.x << ", " << p.y;
                EXPECT_EQ(host.AreaAt(p.x, p.y, Button::Right), nullptr) << "the right button, " << p.x << ", " << p.y;
            } else {
                EXPECT_NE(host.AreaNumber(area), b.Number) << p.x << ", " << p.y;
            }
        }
    }
    EXPECT_EQ(host.CursorCodeAt(50, 5), NoCursor) << "the group's own cursor";
    EXPECT_EQ(host.AreaAt(50, 5), nullptr);
    host.Kill();
    EXPECT_EQ(host.MouseAreas(), nullptr) << "unregistered at kill";
    EXPECT_EQ(host.CursorCodeAt(30, 40), NoCursor);
    EXPECT_EQ(host.AreaAt(30, 40), nullptr);
    host.Unload();
    EXPECT_EQ(host.Width() * host.Height(), 0) << "unloaded, no size";
}

TEST(MouseAreas, AListOfAnyShapeIsReadAsTheHostReadsIt)
{
    GaugeHost host;
    std::string error;
    ASSERT_TRUE(host.Load(ModulePath(), &error)) << error;
    host.ConnectServices();
    host.Serve();
    const AreaService registerAreas =
        reinterpret_cast<AreaService>(host.ImportTable()->Services[MouseAreasRegister]);
    const AreaService unregisterAreas =
        reinterpret_cast<AreaService>(host.ImportTable()->Services[MouseAreasUnregister]);
    // Two areas over the same square: the first answers no press but gives
    // its cursor, the second takes the press.
    MouseArea grouped[] = {
        {AreaGroupStart, 0, 0, 0, 0, HandCursor, 0, 0, 0, nullptr, 0},
        {AreaInGroup, 10, 10, 5, 5, UpArrowCursor, 0, 0, 0, Handled, 0},
        {AreaInGroup, 10, 10, 5, 5, DownArrowCursor, 0, LeftButtonDown, 0, Handled, 0},
        {AreaInGroup, 20, 10, 5, 5, DownArrowCursor, 0, LeftButtonDown, 0, nullptr, 0},
        {AreaListEnd, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    };
    MouseArea ungrouped[] = {
        {AreaInGroup, 10, 10, 5, 5, UpArrowCursor, 0, LeftButtonDown, 0, Handled, 0},
        {AreaListEnd, 0, 0, 0, 0, HandCursor, 0, 0, 0, nullptr, 0},
    };
    const struct {
        MouseArea* list;
        int x, y;
        int32_t cursor;
        int pressed; // the area number a press lands in, or -1
    } rows[] = {
        {grouped, 12, 12, UpArrowCursor, 2},
        {grouped, 0, 0, HandCursor, -1},
        {grouped, 15, 12, HandCursor, -1},
        {grouped, 22, 12, DownArrowCursor, -1}, // no handler, no press
        {ungrouped, 12, 12, UpArrowCursor, 0},
        {ungrouped, 0, 0, NoCursor, -1},
        {ungrouped, 14, 14, UpArrowCursor, 0},
        {ungrouped, 14, 15, NoCursor, -1},
    };
    for (const auto& r : rows) {
        registerAreas(r.list, host.Header());
        EXPECT_EQ(host.CursorCodeAt(r.x, r.y), r.cursor) << r.x << ", " << r.y;
        EXPECT_EQ(host.AreaNumber(host.AreaAt(r.x, r.y)), r.pressed) << r.x << ", " << r.y;
        EXPECT_EQ(host.Press(r.x, r.y), r.pressed >= 0) << r.x << ", " << r.y;
        unregisterAreas(r.list, host.Header());
        EXPECT_EQ(host.CursorCodeAt(r.x, r.y), NoCursor);
    }
    EXPECT_TRUE(host.StackFaults().empty());
}

} // namespace
