// The states Lumivane's calls to the system are counted in, built once from
// its facts (LumivaneFacts.h): its settings files hold the speeds as a fresh
// load holds them; at rest the airspeed is half of Speed1, where every lamp
// is dark, and the take-off climbs from 20 below Speed1 to 10 past where
// every lamp goes dark again, each call-out sounding on the way. Only the
// measuring tools link it.
#include "bench/lumivane/LumivaneFacts.h"

#include <stdio.h>

namespace {

// The states as rows, each built by one loop below.
enum Airspeed { AtRest, Climbing };
struct StateRow {
    const char* Name;   // with %s for the speed whose file is missing, if any
    int MissingSpeed;   // 1 to 3, 0 for none, -1 for all
    Airspeed Flown;
    bool Readout;       // the state shows the selected speed once its work is done
};

std::vector<MeasuredState> Measured()
{
    std::vector<MeasuredState> states;
    char text[96];
    char selected[16];
    snprintf(selected, sizeof selected, "%3d", int(StartingSpeeds[StartingSelection]));
    const double resting = StartingSpeeds[0] / 2.0;
    const double climbFrom = StartingSpeeds[0] - 20.0;
    const double climbTo = StartingSpeeds[PanelSpeeds - 1] + LampsDarkAboveSpeed3 + 10.0;
    const StateRow rows[] = {
        {"settings loaded, at rest", 0, AtRest, true},
        {"settings loaded, take-off with the sounds playing", 0, Climbing, true},
        {"every settings file missing", -1, AtRest, false},
        {"%s's file missing, the first read", SettingsReadOrder[0], AtRest, false},
        {"%s's file missing, the last read", SettingsReadOrder[PanelSpeeds - 1], AtRest, false},
    };
    for (const StateRow& row : rows) {
        MeasuredState state;
        snprintf(text, sizeof text, row.Name, row.MissingSpeed > 0 ? SpeedNames[row.MissingSpeed - 1] : "");
        state.Name = text;
        // Each speed's file holds its starting speed, but a missing one.
        for (int s = 0; s < PanelSpeeds; ++s) {
            const bool present = row.MissingSpeed >= 0 && row.MissingSpeed != s + 1;
            state.Settings.push_back({s, present, present ? std::to_string(StartingSpeeds[s]) : std::string()});
        }
        state.From = row.Flown == AtRest ? resting : climbFrom;
        state.To = row.Flown == AtRest ? resting : climbTo;
        if (row.Readout)
            state.Readout = selected;
        states.push_back(state);
    }
    return states;
}

} // namespace

const std::vector<MeasuredState>& LumivaneMeasuredStates()
{
    static const std::vector<MeasuredState> states = Measured();
    return states;
}
