// Lumivane's description: constant data made of its facts (LumivaneFacts.h)
// by the compiler, so that every word and number in it is written there and
// only there, and the page carries no code to build it.
#include "bench/lumivane/LumivaneFacts.h"

// The selectors below are in the order of PanelControl, one for each speed,
// and the last speed is the one the lamps go dark above.
static_assert(int(PanelControl::Selector1) + PanelSpeeds == PanelControlCount, "a selector for each speed");
static_assert(PanelSpeeds == 3, "the words below name three speeds");

namespace {

const ModuleClipSource Clips[] = {{SingleBeepClip, SingleBeepResource}, {DoubleBeepClip, DoubleBeepResource}};
const ClipSound Sounds[] = {{SingleBeepSound, 1}, {DoubleBeepSound, 2}};

// A macro's value as the text it is written with.
#define LUMIVANE_TEXT(x) LUMIVANE_TEXT_OF(x)
#define LUMIVANE_TEXT_OF(x) #x

const GaugeDescription Lumivane = {
    GaugeName,
    ModuleFileName,
    PanelSpeeds,
    SpeedNames,
    PanelSpeeds,
    SettingsWords,
    PanelSpeeds,
    LampsDarkAboveSpeed3,
    int(sizeof Clips / sizeof Clips[0]),
    Clips,
    Sounds,
    {{nullptr, nullptr},
     {"lower the selected speed by 1; held, it repeats", "lower"},
     {"raise the selected speed by 1; held, it repeats", "raise"},
     {"select " LUMIVANE_SPEED1, LUMIVANE_SPEED1},
     {"select " LUMIVANE_SPEED2, LUMIVANE_SPEED2},
     {"select " LUMIVANE_SPEED3, LUMIVANE_SPEED3}},
    "a take-off: the airspeed from 0 to past " LUMIVANE_SPEED3 " + " LUMIVANE_TEXT(LUMIVANE_LAMP_LIMIT)
    ", where every lamp is dark, then held",
};

} // namespace

const GaugeDescription& LumivaneDescription()
{
    return Lumivane;
}
