// Lumivane's background, icons and readout as records any module can hold: the
// gauge itself (panel/Panel.cpp), the reference gauges the speed figures
// compare it with (speed/ReferenceModule.cpp) and the tests' own gauges
// (tests/bench/gauges/). Each is a constant expression, so that a module
// initialises it as static data with no start files and no constructor; it
// names only the host's records, never another of the gauge's folders.
#ifndef LUMIVANE_PANEL_PANELRECORDS_H
#define LUMIVANE_PANEL_PANELRECORDS_H

#include "host/Records.h"

// How an element that changes is drawn: the host redraws what lay beneath
// it first, and its pure black is not drawn.
constexpr uint32_t ChangingLook = HostDisplayFlag | RestoreBeneath | TransparentImage;

// The background of `gauge`: bitmap `bitmap` (Lumivane's 4096) at the
// panel's origin, drawn with `look`, followed by the elements of `next`.
constexpr StaticImageElement BackgroundRecord(GaugeHeader* gauge, ElementHeader** next, int32_t bitmap = 4096,
                                              uint32_t look = HostDisplayFlag | TransparentImage)
{
    return {
        {StaticImageKind, bitmap, 0, 0, {}, gauge, nullptr, next, nullptr, look, {}},
        nullptr,
        {},
    };
}

// An icon of `gauge` at x,y with one image, bitmap `bitmap`, shown for 0.0
// and hidden for -1.0 by `callback`, drawn with `look`, followed by the
// elements of `next`. It names host variable 5, whose value the callback
// ignores.
constexpr IconElement IconRecord(GaugeHeader* gauge, int32_t bitmap, int32_t x, int32_t y, ElementHeader** next,
                                 FailureRecord* failures, IconCallback callback, uint32_t look = ChangingLook)
{
    return {
        {IconKind, bitmap, x, y, {}, gauge, nullptr, next, failures, look, {}},
        {5, {}},
        callback,
        {0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0},
    };
}

// The readout of `gauge`, the last element of its chain: a box of 62 x 25 at
// 25,35, light grey Courier New, centred on one line, drawn by `callback`
// with `look`, `characters` long. It names host variable 1, whose value the
// callback ignores.
constexpr TextElement ReadoutRecord(GaugeHeader* gauge, TextCallback callback, uint32_t look = ChangingLook,
                                    int32_t characters = 3)
{
    return {
        {TextStringKind, -1, 25, 35, {}, gauge, nullptr, nullptr, nullptr, look, {}},
        {{1, {}}, {0, {}}, {0, {}}},
        {},
        callback,
        nullptr,
        0,
        62,
        25,
        {},
        0xEFEFEF, // light grey, red, green and blue 239 each
        0,
        0,
        {},
        "Courier New",
        400,  // FW_NORMAL
        1,    // DEFAULT_CHARSET
        0x25, // DT_CENTER | DT_VCENTER | DT_SINGLELINE
        characters,
        {},
    };
}

#endif
