// Every fact about Lumivane.gau that the bench and the page count on, in one
// place: what a host may know of it from outside (its file name, its
// settings files and the order it reads them, its starting speeds, the
// bounds its adjusts keep, the clips its call-outs play, where its lamps go
// dark, what its readout's result says), and the bench's own choices for it
// (how the take-off key climbs, the states its calls are counted in). The
// gauge's folders hold these for the gauge; outside bench/lumivane the bench
// and the page name none of them, and take them from LumivaneDescription()
// below, from here, or from the page's exports (tools/CheckFacts.py holds
// them to that, reading this file for the facts).
#ifndef LUMIVANE_BENCH_LUMIVANE_LUMIVANEFACTS_H
#define LUMIVANE_BENCH_LUMIVANE_LUMIVANEFACTS_H

#include "bench/flying/GaugeDescription.h"

#include <stdint.h>

// The name a pilot knows the gauge by, and the module's file name, which it
// must be installed under (its sound layer finds its own resources by it).
constexpr const char GaugeName[] = "Lumivane";
constexpr const char ModuleFileName[] = "Lumivane.gau";

// The three speeds, by the names the pilots know them by; arrays below hold
// Speed1, Speed2, Speed3 at 0, 1, 2. The names are macros as well, so that
// the words made of them (LumivaneDescription.cpp) are made by the compiler
// and the page carries no code to make them.
constexpr int PanelSpeeds = 3;
#define LUMIVANE_SPEED1 "Speed1"
#define LUMIVANE_SPEED2 "Speed2"
#define LUMIVANE_SPEED3 "Speed3"
constexpr const char* SpeedNames[PanelSpeeds] = {LUMIVANE_SPEED1, LUMIVANE_SPEED2, LUMIVANE_SPEED3};

// Each speed's settings file as the gauge opens it, the word a scenario's
// settings line names it by, and the speeds in the order the gauge's load
// reads them, up to the first file it cannot open.
constexpr const char* SettingsFiles[PanelSpeeds] = {"C:\\pelmo1", "C:\\pelmo2", "C:\\pelmo"};
constexpr const char* SettingsWords[PanelSpeeds] = {"speed1", "speed2", "speed3"};
constexpr int SettingsReadOrder[PanelSpeeds] = {3, 1, 2};

// What a fresh load of the module holds: the speeds, and the selection
// (0 to 2 for Speed1 to Speed3).
constexpr int32_t StartingSpeeds[PanelSpeeds] = {80, 90, 100};
constexpr int StartingSelection = 2;

// The bounds the gauge's adjusts hold each speed to; within them, each speed
// stays above the one before.
constexpr int32_t LowestSpeeds[PanelSpeeds] = {0, 1, 2};
constexpr int32_t HighestSpeeds[PanelSpeeds] = {198, 199, 200};

// Lamp k is lit from speed k up to Speed3 + LampsDarkAboveSpeed3, where
// every lamp goes dark again; a macro as well, for the words made of it.
#define LUMIVANE_LAMP_LIMIT 10
constexpr double LampsDarkAboveSpeed3 = LUMIVANE_LAMP_LIMIT;

// The clips the call-outs play, by the names the gauge gives them, the
// wave resources they come from and what a person hears: Speed1's and
// Speed2's the single beep, Speed3's the double beep.
constexpr const char SingleBeepClip[] = "Wave1";
constexpr const char SingleBeepResource[] = "WAVE1";
constexpr const char SingleBeepSound[] = "single beep";
constexpr const char DoubleBeepClip[] = "Wave2";
constexpr const char DoubleBeepResource[] = "WAVE2";
constexpr const char DoubleBeepSound[] = "double beep";

// The readout callback's result when its load of the settings files stopped
// at one that would not open; it hands the host's argument back once every
// file was read.
constexpr double ReadoutLoadStopped = 1.0;

// Its panel's size in pixels, its background bitmap's: what the aircraft
// room is told of the gauge it checks, installs and takes out, with its
// module's file name, before any module is loaded (a host takes the size
// from the module itself).
constexpr int PanelWidth = 100, PanelHeight = 70;

// The take-off key: the airspeed from 0 to this far above Speed3 (past
// Speed3 + LampsDarkAboveSpeed3, where every lamp goes dark) over this many
// seconds, then held.
constexpr double TakeOffBeyondSpeed3 = 20;
constexpr double TakeOffSeconds = 10;

// Lumivane as the rooms that know no gauge take it: every fact above that
// they need, in the words of bench/flying/GaugeDescription.h; and the states
// its calls to the system are counted in, the first the one a pass is timed
// in, for the measuring tools.
const GaugeDescription& LumivaneDescription();
const std::vector<MeasuredState>& LumivaneMeasuredStates();

#endif
