// Lumivane's description, built once from its facts (LumivaneFacts.h), so
// that every word and number in it is written there and only there. The
// states its calls are counted in hold its settings files as a fresh load
// holds the speeds: the airspeed at rest is half of Speed1, where every lamp
// is dark, and the take-off climbs from 20 below Speed1 to 10 past where
// every lamp goes dark again, each call-out sounding on the way.
#include "bench/lumivane/LumivaneFacts.h"

#include "bench/hosting/GaugeHost.h"

#include <stdio.h>

#include <initializer_list>

// The host's text argument must never pass for the readout's word that a
// settings file would not open.
static_assert(GaugeHost::TextArgument != ReadoutLoadStopped, "the readout's stop reads as the host's argument");

namespace {

// Each speed's settings file holding its starting speed, but those of the
// `missing` speeds (numbered from 1), which are absent.
std::vector<SettingsSetup> FilesWithout(std::initializer_list<int> missing)
{
    std::vector<SettingsSetup> files;
    for (int s = 0; s < PanelSpeeds; ++s) {
        bool absent = false;
        for (int speed : missing)
            absent = absent || speed == s + 1;
        files.push_back({s, !absent, absent ? std::string() : std::to_string(StartingSpeeds[s])});
    }
    return files;
}

GaugeDescription Describe()
{
    GaugeDescription gauge;
    gauge.Name = GaugeName;
    gauge.ModuleFile = ModuleFileName;
    gauge.Speeds.assign(SpeedNames, SpeedNames + PanelSpeeds);
    gauge.SettingsWords.assign(SettingsWords, SettingsWords + PanelSpeeds);
    gauge.DarkAboveSpeed = PanelSpeeds;
    gauge.DarkAboveBy = LampsDarkAboveSpeed3;
    gauge.Clips = {{SingleBeepClip, SingleBeepResource, "single beep", 1},
                   {DoubleBeepClip, DoubleBeepResource, "double beep", 2}};

    const std::string last = SpeedNames[PanelSpeeds - 1];
    char limit[64];
    snprintf(limit, sizeof limit, "%s + %g", last.c_str(), LampsDarkAboveSpeed3);
    gauge.TakeOff = std::string("a take-off: the airspeed from 0 to past ") + limit +
                    ", where every lamp is dark, then held";
    gauge.Controls[int(PanelControl::Decrease)] = {"lower the selected speed by 1; held, it repeats", "lower"};
    gauge.Controls[int(PanelControl::Increase)] = {"raise the selected speed by 1; held, it repeats", "raise"};
    const PanelControl selectors[PanelSpeeds] = {PanelControl::Selector1, PanelControl::Selector2,
                                                 PanelControl::Selector3};
    for (int s = 0; s < PanelSpeeds; ++s)
        gauge.Controls[int(selectors[s])] = {std::string("select ") + SpeedNames[s], SpeedNames[s]};

    char selected[16];
    snprintf(selected, sizeof selected, "%3d", int(StartingSpeeds[StartingSelection]));
    const double resting = StartingSpeeds[0] / 2.0;
    const double climbFrom = StartingSpeeds[0] - 20.0;
    const double climbTo = StartingSpeeds[PanelSpeeds - 1] + LampsDarkAboveSpeed3 + 10.0;
    const int first = SettingsReadOrder[0], lastRead = SettingsReadOrder[PanelSpeeds - 1];
    gauge.States = {
        {"settings loaded, at rest", FilesWithout({}), resting, resting, selected},
        {"settings loaded, take-off with the sounds playing", FilesWithout({}), climbFrom, climbTo, selected},
        {"every settings file missing", FilesWithout({1, 2, 3}), resting, resting, ""},
        {std::string(SpeedNames[first - 1]) + "'s file missing, the first read", FilesWithout({first}), resting,
         resting, ""},
        {std::string(SpeedNames[lastRead - 1]) + "'s file missing, the last read", FilesWithout({lastRead}), resting,
         resting, ""},
    };
    return gauge;
}

} // namespace

const GaugeDescription& LumivaneDescription()
{
    static const GaugeDescription gauge = Describe();
    return gauge;
}
