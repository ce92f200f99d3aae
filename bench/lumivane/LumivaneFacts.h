// Every fact about Lumivane.gau that the bench and the page count on, in one
// place: what a host may know of it from outside (its settings files and the
// order it reads them, its starting speeds, the bounds its adjusts keep, the
// clips its call-outs play, what its readout's result says), and the bench's
// own choice for it (how the take-off key climbs). The gauge's folders hold
// these for the gauge; outside bench/lumivane the bench and the page name
// none of them, and take them from here or from the page's exports.
#ifndef LUMIVANE_BENCH_LUMIVANE_LUMIVANEFACTS_H
#define LUMIVANE_BENCH_LUMIVANE_LUMIVANEFACTS_H

#include <stdint.h>

// The three speeds; arrays below hold Speed1, Speed2, Speed3 at 0, 1, 2.
constexpr int PanelSpeeds = 3;

// Each speed's settings file as the gauge opens it, and the speeds in the
// order its load reads them, up to the first file it cannot open.
constexpr const char* SettingsFiles[PanelSpeeds] = {"C:\\pelmo1", "C:\\pelmo2", "C:\\pelmo"};
constexpr int SettingsReadOrder[PanelSpeeds] = {3, 1, 2};

// What a fresh load of the module holds: the speeds, and the selection
// (0 to 2 for Speed1 to Speed3).
constexpr int32_t StartingSpeeds[PanelSpeeds] = {80, 90, 100};
constexpr int StartingSelection = 2;

// The bounds the gauge's adjusts hold each speed to; within them, each speed
// stays above the one before.
constexpr int32_t LowestSpeeds[PanelSpeeds] = {0, 1, 2};
constexpr int32_t HighestSpeeds[PanelSpeeds] = {198, 199, 200};

// The clips the call-outs play: Speed1's and Speed2's the single beep,
// Speed3's the double beep.
constexpr const char SingleBeepClip[] = "Wave1";
constexpr const char DoubleBeepClip[] = "Wave2";

// The readout callback's result when its load of the settings files stopped
// at one that would not open; it hands the host's argument back once every
// file was read.
constexpr double ReadoutLoadStopped = 1.0;

// The module's file name, which it must be installed under (its sound layer
// finds its own resources by it), and its panel's size in pixels: what the
// aircraft room is told of the gauge it checks, installs and takes out.
constexpr const char ModuleFileName[] = "Lumivane.gau";
constexpr int PanelWidth = 100, PanelHeight = 70;

// The take-off key: the airspeed from 0 to this far above Speed3 (past
// Speed3 + 10, where every lamp goes dark) over this many seconds, then held.
constexpr double TakeOffBeyondSpeed3 = 20;
constexpr double TakeOffSeconds = 10;

#endif
