// What the window chooses apart from Win32, in both builds. The cursor over
// each point of its client area: the host's for the panel pixel under it,
// the arrow everywhere the panel is not the host's, at scales 1 and 4 and in
// a window wider and taller than the host's gauge (a module with a larger
// background). The status its title and strip show for a pass.
#include "bench/lumivane/LumivaneReader.h"
#include "bench/measuring/PanelResults.h"
#include "bench/window/PanelCursor.h"
#include "bench/window/StatusLine.h"
#include "host/Services.h"

#include "tests/bench/flying/BenchPaths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int32_t GAUGE_STDCALL Handled(uint32_t, uint32_t)
{
    return 1;
}

TEST(PanelCursor, IsTheHostsOverTheGaugeAndTheArrowElsewhere)
{
    EXPECT_EQ(PanelCursorCode(nullptr, 10, 10, 1, 100, 70), NoCursor) << "before the first pass";
    GaugeHost host;
    std::string error;
    ASSERT_TRUE(host.Load(ModulePath(), &error)) << error;
    host.ConnectServices();
    host.Serve();
    EXPECT_EQ(PanelCursorCode(&host, 10, 10, 1, 100, 70), NoCursor) << "no list registered";
    const AreaService registerAreas =
        reinterpret_cast<AreaService>(host.ImportTable()->Services[MouseAreasRegister]);
    // The group's own cursor (the hand) answers wherever no area does, even
    // past the gauge, where the window must show the arrow.
    MouseArea areas[] = {
        {AreaGroupStart, 0, 0, 0, 0, HandCursor, 0, 0, 0, nullptr, 0},
        {AreaInGroup, 0, 0, 5, 5, UpArrowCursor, 0, LeftButtonDown, 0, Handled, 0},
        {AreaInGroup, 95, 65, 5, 5, DownArrowCursor, 0, LeftButtonDown, 0, Handled, 0},
        {AreaListEnd, 0, 0, 0, 0, 0, 0, 0, 0, nullptr, 0},
    };
    registerAreas(areas, host.Header());
    const struct {
        int x, y, scale, width, height;
        int32_t cursor;
    } rows[] = {
        {0, 0, 1, 100, 70, UpArrowCursor},
        {4, 4, 1, 100, 70, UpArrowCursor},
        {5, 4, 1, 100, 70, HandCursor},
        {99, 69, 1, 100, 70, DownArrowCursor},
        {-1, 0, 1, 100, 70, NoCursor},
        {0, -1, 1, 100, 70, NoCursor},
        {100, 69, 1, 100, 70, NoCursor},
        {99, 70, 1, 100, 70, NoCursor},
        // At scale 4 a panel pixel is 4 × 4 client pixels.
        {19, 19, 4, 400, 280, UpArrowCursor},
        {20, 19, 4, 400, 280, HandCursor},
        {399, 279, 4, 400, 280, DownArrowCursor},
        {380, 260, 4, 400, 280, DownArrowCursor},
        {379, 260, 4, 400, 280, HandCursor},
        {400, 279, 4, 400, 280, NoCursor},
        {399, 280, 4, 400, 280, NoCursor},
        // A panel of 120 × 80: the host's gauge is still 100 × 70.
        {99, 10, 1, 120, 80, HandCursor},
        {100, 10, 1, 120, 80, NoCursor},
        {10, 69, 1, 120, 80, HandCursor},
        {10, 70, 1, 120, 80, NoCursor},
        {119, 79, 1, 120, 80, NoCursor},
        {400, 40, 4, 480, 320, NoCursor},
        {40, 280, 4, 480, 320, NoCursor},
    };
    for (const auto& r : rows)
        EXPECT_EQ(PanelCursorCode(&host, r.x, r.y, r.scale, r.width, r.height), r.cursor)
            << r.x << ", " << r.y << " at scale " << r.scale << " in " << r.width << " x " << r.height;
}

TEST(StatusLine, SaysTheSelectionTheAirspeedAndATakeOff)
{
    // Lumivane's reader after a pass that shows Speed2 selected at 91.
    LumivaneReader reader;
    reader.ModuleLoaded("no-such-sandbox");
    const bool dark[PanelSpeeds] = {}, second[PanelSpeeds] = {false, true, false};
    const PassResults shown = PanelResults(dark, second, " 91");
    reader.Passed(&shown, 0, nullptr, 0);
    const struct {
        bool read;
        double airspeed;
        bool takingOff;
        const char* said;
    } rows[] = {
        {false, 0, false, "Airspeed 0"},
        {false, 82, false, "Airspeed 82"},
        {false, 82.24, false, "Airspeed 82.2"},
        {false, 82.96, false, "Airspeed 83.0"},
        {false, -0.5, false, "Airspeed -0.5"},
        {false, 1e6, false, "Airspeed 1000000"},
        {true, 120.5, false, "Speed2 selected: 91, Airspeed 120.5"},
        {true, 0, true, "Speed2 selected: 91, Airspeed 0, taking off"},
        {false, 40, true, "Airspeed 40, taking off"},
    };
    for (const auto& r : rows) {
        PassRecord pass;
        pass.Airspeed = r.airspeed;
        EXPECT_EQ(StatusLine(pass, r.read ? &reader : nullptr, r.takingOff), r.said) << r.airspeed;
    }
    // A reading with no speed selected says nothing of it, and no comma.
    const PassResults none = PanelResults(dark, dark, " 91");
    reader.Passed(&none, 0, nullptr, 0);
    PassRecord pass;
    pass.Airspeed = 5;
    EXPECT_EQ(StatusLine(pass, &reader, false), "Airspeed 5");
}

} // namespace
