// The scenario format's mistakes, each with the message a user gets: one bad
// line per rejection the parser makes, and the line number it names; and
// every limit of scenarios and tracks met exactly (taken) and just passed
// (refused, with the file, the line and what is wrong). The settings lines
// name a gauge's files by its description's words (Lumivane's unless a row
// says otherwise), and a press is held to the gauge's own size once the run
// knows it.
#include "bench/files/Files.h"
#include "bench/flying/AirspeedProfile.h"
#include "bench/flying/Scenario.h"
#include "bench/flying/TrackFile.h"
#include "bench/lumivane/LumivaneFacts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Scenario, BadLinesAreNamedWithTheirFileAndLine)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"0 fly 100\n1 end\n", "s.txt:1: unknown action 'fly' (airspeed, ramp, noise, track, press, hold, kill, install, end)"},
        {"soon airspeed 3\n", "s.txt:1: 'soon' is neither a time in seconds nor 'settings'"},
        {"-1 airspeed 3\n", "s.txt:1: a time must not be negative"},
        {"2 airspeed\n", "s.txt:1: airspeed needs a value: TIME airspeed VALUE"},
        {"2 airspeed fast\n", "s.txt:1: 'fast' is not a number"},
        {"2 airspeed NaN\n", "s.txt:1: 'NaN' is not a number"},
        {"2 airspeed 0x10\n", "s.txt:1: '0x10' is not a number"},
        {std::string("2 airspeed 50\0junk\n", 19), "s.txt:1: '50\\x00junk' is not a number"},
        {"2 airspeed 1e300\n", "s.txt:1: the airspeed 1e300 is beyond ±1e6, the most a scenario may give "
                                "(airspeed nan, inf and -inf are allowed by name)"},
        {"2 noise 1e308\n", "s.txt:1: the airspeed 1e308 is beyond ±1e6, the most a scenario may give "
                             "(airspeed nan, inf and -inf are allowed by name)"},
        {"1e300 end\n", "s.txt:1: the time '1e300' is past 86400 s, the longest run (a day of passes)"},
        {"+1e308 airspeed 0\n+1e308 end\n", "s.txt:1: the time '+1e308' is past 86400 s, the longest run (a day of passes)"},
        {"86000 airspeed 0\n+500 end\n", "s.txt:2: the time '+500' is past 86400 s, the longest run (a day of passes)"},
        {"++1 end\n", "s.txt:1: '++1' is neither a time in seconds nor 'settings'"},
        {"86000 ramp 100 over 1000\n", "s.txt:1: it would go on past 86400 s, the longest run"},
        {"1 press 500 -3\n", "s.txt:1: the point 500,-3 is off the panel, which starts at 0,0 at the top left and "
                             "is at most 4096 pixels each way"},
        {"2 press 54 4096\n", "s.txt:1: the point 54,4096 is off the panel, which starts at 0,0 at the top left "
                              "and is at most 4096 pixels each way"},
        {"2 " + std::string(200, 'x') + "\n", "s.txt:1: unknown action '" + std::string(40, 'x') +
            "...' (200 characters) (airspeed, ramp, noise, track, press, hold, kill, install, end)"},
        {"1 airspeed 0\n2 ramp 100\n", "s.txt:2: ramp needs a target and a duration: TIME ramp TARGET over SECONDS"},
        {"2 ramp 100 over 0\n", "s.txt:1: a ramp must last more than 0 s"},
        {"2 noise -1\n", "s.txt:1: the noise amplitude must not be negative"},
        {"2 press 10\n", "s.txt:1: press needs x and y: TIME press X Y [left|right|middle]"},
        {"2 press 10.5 20\n", "s.txt:1: '10.5' is not a whole number of pixels"},
        {"2 press 10 20 thumb\n", "s.txt:1: unknown button 'thumb' (left, right or middle)"},
        {"2 hold 70 45\n", "s.txt:1: hold needs x, y and how long: TIME hold X Y SECONDS [left|right|middle]"},
        {"2 hold 70 45 0\n", "s.txt:1: a hold must last more than 0 s"},
        {"6 airspeed 1\n\n5 airspeed 2\n", "s.txt:3: the time 5 comes before 6 on line 1"},
        {"1 kill\n2 kill\n", "s.txt:2: kill while the gauge is not installed"},
        {"1 install\n", "s.txt:1: install while the gauge is installed"},
        {"1 kill now\n", "s.txt:1: unexpected 'now' after kill"},
        {"settings speed4 80\n", "s.txt:1: unknown settings file 'speed4' (speed1, speed2 or speed3)"},
        {"settings \"speed1\" 80\n", "s.txt:1: unknown settings file 'speed1' (speed1, speed2 or speed3)"},
        {"settings speed1\n", "s.txt:1: settings needs a settings file and what it holds: "
                              "settings speed1|speed2|speed3 NUMBER|missing|text \"...\""},
        {"settings speed1 eighty\n", "s.txt:1: 'eighty' is neither a whole number, 'missing' nor text \"...\""},
        {"settings speed1 text \"80\n", "s.txt:1: the text has no closing quote"},
        {"settings speed1 text \"80\" now\n", "s.txt:1: unexpected 'now' after the settings file's content"},
        {"settings speed1 80 now\n", "s.txt:1: unexpected 'now' after the settings file's content"},
        {"1 b\x01o\x1fg\x7fus\x0b\n", "s.txt:1: unknown action 'b\\x01o\\x1fg\\x7fus\\x0b' "
         "(airspeed, ramp, noise, track, press, hold, kill, install, end)"},
        {"settings speed1 missing \"80\"\n", "s.txt:1: unexpected '80' after the settings file's content"},
        {"1 track none.csv\n", "s.txt:1: cannot read the track none.csv: none.csv does not exist"},
        {"1 track header-only.csv now\n", "s.txt:1: unexpected 'now' after the track's file"},
        {"1 track header-only.csv\n", "s.txt:1: the track header-only.csv holds no 'seconds,airspeed' rows"},
        {"0 airspeed 0\n", "s.txt:1: the scenario has no end: finish it with a line 'SECONDS end'"},
        {"3 end\n4 airspeed 0\n", "s.txt:2: nothing may follow the end (line 1)"},
    };
    ASSERT_TRUE(WriteWholeFile("header-only.csv", "seconds,airspeed\n"));
    for (const auto& c : cases) {
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, "s.txt", &scenario, &error, &LumivaneDescription())) << c.text;
        EXPECT_EQ(error, c.error) << "for the scenario:\n" << c.text;
    }
}

// The settings words are the gauge's own: another gauge's words name its
// files in its order, and a run without a description has none.
TEST(Scenario, SettingsLinesNameTheFilesByTheGaugesWords)
{
    const char* const words[] = {"flaps", "trim"};
    GaugeDescription other = {};
    other.SettingsCount = 2;
    other.SettingsWords = words;
    const struct {
        const GaugeDescription* gauge;
        std::string text;
        int file; // the setup's, or -1 for a refusal
        std::string error;
    } rows[] = {
        {&other, "settings trim 5\n1 end\n", 1, ""},
        {&other, "settings flaps missing\n1 end\n", 0, ""},
        {&other, "settings speed1 80\n1 end\n", -1, "s.txt:1: unknown settings file 'speed1' (flaps or trim)"},
        {&other, "settings trim\n", -1,
         "s.txt:1: settings needs a settings file and what it holds: settings flaps|trim NUMBER|missing|text \"...\""},
        {&LumivaneDescription(), "settings speed3 100\n1 end\n", 2, ""},
        {nullptr, "settings speed1 80\n1 end\n", -1,
         "s.txt:1: this run's gauge has no settings files a scenario can set up"},
        {nullptr, "settings speed1\n", -1,
         "s.txt:1: settings needs a settings file and what it holds: settings NAME NUMBER|missing|text \"...\""},
    };
    for (const auto& row : rows) {
        Scenario scenario;
        std::string error;
        const bool taken = ParseScenario(row.text, "s.txt", &scenario, &error, row.gauge);
        EXPECT_EQ(taken, row.file >= 0) << row.text << error;
        EXPECT_EQ(error, row.error) << row.text;
        if (taken && row.file >= 0) {
            ASSERT_EQ(scenario.Settings.size(), 1u) << row.text;
            EXPECT_EQ(scenario.Settings[0].File, row.file) << row.text;
        }
    }
}

// Once the module is loaded the run holds every press and hold to the
// gauge's own size, and names the first that lies off it.
TEST(Scenario, PressesAreHeldToTheGaugesOwnSize)
{
    const std::string off = " is off the panel, which is 100 × 70 pixels from 0,0 at the top left";
    const struct {
        std::string text;
        int width, height;
        std::string error;
    } rows[] = {
        {"0 press 0 0\n1 press 99 69\n2 hold 0 69 1\n3 hold 99 0 1\n4 end\n", 100, 70, ""},
        {"0 press 100 0\n1 end\n", 100, 70, "s.txt:1: the point 100,0" + off},
        {"0 airspeed 5\n0 hold 0 70 1\n1 end\n", 100, 70, "s.txt:2: the point 0,70" + off},
        {"0 press 5 5\n1 press 4095 4095\n2 end\n", 100, 70, "s.txt:2: the point 4095,4095" + off},
        {"0 press 100 0\n1 hold 119 79 1\n2 end\n", 120, 80, ""},
        {"0 press 0 0\n1 end\n", 0, 0,
         "s.txt:1: the point 0,0 is off the panel, which is 0 × 0 pixels from 0,0 at the top left"},
        {"0 airspeed 5\n1 end\n", 0, 0, ""},
    };
    for (const auto& row : rows) {
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(row.text, "s.txt", &scenario, &error)) << row.text << error;
        EXPECT_EQ(PointOffGauge(scenario, row.width, row.height), row.error)
            << row.text << " on " << row.width << " × " << row.height;
    }
}

// Each limit's last value taken, and the value just past it refused with its
// message ("" for a row that must be taken). The same table holds the
// scenario's limits and the track's, a track row being read as its file.
TEST(Scenario, EveryLimitTakesItsLastValueAndRefusesTheNext)
{
    const std::string offPanel = " is off the panel, which starts at 0,0 at the top left and is at most 4096 pixels "
                                 "each way";
    const std::string pastDay = " is past 86400 s, the longest run (a day of passes)";
    const std::string beyond = " is beyond ±1e6, the most a scenario may give (airspeed nan, inf and -inf are "
                               "allowed by name)";
    const std::string notWhole = " is neither a whole number, 'missing' nor text \"...\"";
    const std::string unknown = " (airspeed, ramp, noise, track, press, hold, kill, install, end)";
    const struct {
        const char* limit;
        bool track;
        std::string text;
        std::string error;
    } cases[] = {
        {"end time", false, "86400 end\n", ""},
        {"end time", false, "86400.001 end\n", "s.txt:1: the time '86400.001'" + pastDay},
        {"relative time", false, "86000 airspeed 0\n+400 end\n", ""},
        {"relative time", false, "86000 airspeed 0\n+400.001 end\n", "s.txt:2: the time '+400.001'" + pastDay},
        {"first time", false, "0 airspeed 0\n0 end\n", ""},
        {"first time", false, "-0.001 airspeed 0\n1 end\n", "s.txt:1: a time must not be negative"},
        {"time order", false, "1 airspeed 0\n1 airspeed 5\n2 end\n", ""},
        {"time order", false, "1 airspeed 0\n0.999 airspeed 5\n2 end\n", "s.txt:2: the time 0.999 comes before 1 on line 1"},
        {"airspeed", false, "0 airspeed 1e6\n1 airspeed -1e6\n2 end\n", ""},
        {"airspeed", false, "0 airspeed 1000000.001\n1 end\n", "s.txt:1: the airspeed 1000000.001" + beyond},
        {"airspeed", false, "0 airspeed -1000000.001\n1 end\n", "s.txt:1: the airspeed -1000000.001" + beyond},
        {"ramp target", false, "0 ramp -1e6 over 1\n2 end\n", ""},
        {"ramp target", false, "0 ramp -1000000.001 over 1\n2 end\n", "s.txt:1: the airspeed -1000000.001" + beyond},
        {"noise", false, "0 noise 0\n1 noise 1e6 seed 999999999\n2 end\n", ""},
        {"noise", false, "0 noise 1000000.001\n1 end\n", "s.txt:1: the airspeed 1000000.001" + beyond},
        {"noise", false, "0 noise -0.001\n1 end\n", "s.txt:1: the noise amplitude must not be negative"},
        {"noise seed", false, "0 noise 1 seed 0\n1 end\n", ""},
        {"noise seed", false, "0 noise 1 seed -1\n1 end\n", "s.txt:1: '-1' is not a seed (a whole number from 0)"},
        {"noise seed", false, "0 noise 1 seed 1000000000\n1 end\n",
            "s.txt:1: '1000000000' is not a seed (a whole number from 0)"},
        {"ramp length", false, "0 ramp 5 over 86400\n86400 end\n", ""},
        {"ramp length", false, "0 ramp 5 over 86400.001\n86400 end\n",
            "s.txt:1: a ramp may last at most 86400 s, the longest run"},
        {"ramp length", false, "0 ramp 5 over 0.001\n1 end\n", ""},
        {"ramp length", false, "0 ramp 5 over -0.001\n1 end\n", "s.txt:1: a ramp must last more than 0 s"},
        {"ramp end", false, "1 ramp 5 over 86399\n86400 end\n", ""},
        {"ramp end", false, "1 ramp 5 over 86399.001\n86400 end\n", "s.txt:1: it would go on past 86400 s, the longest run"},
        {"hold length", false, "0 hold 10 10 86400\n86400 end\n", ""},
        {"hold length", false, "0 hold 10 10 86400.001\n86400 end\n",
            "s.txt:1: a hold may last at most 86400 s, the longest run"},
        {"hold end", false, "1 hold 10 10 86399.001\n86400 end\n", "s.txt:1: it would go on past 86400 s, the longest run"},
        {"panel corners", false, "0 press 0 0\n1 press 4095 4095\n2 hold 0 4095 1\n3 hold 4095 0 1\n4 end\n", ""},
        {"panel left", false, "0 press -1 0\n1 end\n", "s.txt:1: the point -1,0" + offPanel},
        {"panel right", false, "0 press 4096 0\n1 end\n", "s.txt:1: the point 4096,0" + offPanel},
        {"panel top", false, "0 hold 0 -1 1\n1 end\n", "s.txt:1: the point 0,-1" + offPanel},
        {"panel bottom", false, "0 hold 0 4096 1\n1 end\n", "s.txt:1: the point 0,4096" + offPanel},
        {"whole number", false, "settings speed1 123456789\nsettings speed2 -12345678\n1 end\n", ""},
        {"whole number", false, "settings speed1 1234567890\n1 end\n", "s.txt:1: '1234567890'" + notWhole},
        {"whole number", false, "settings speed2 -123456789\n1 end\n", "s.txt:1: '-123456789'" + notWhole},
        {"quoted word", false, "2 " + std::string(40, 'y') + "\n", "s.txt:1: unknown action '" + std::string(40, 'y') + "'" + unknown},
        {"quoted word", false, "2 " + std::string(41, 'y') + "\n",
            "s.txt:1: unknown action '" + std::string(40, 'y') + "...' (41 characters)" + unknown},
        {"track time", true, "seconds,airspeed\n0,0\n86400,5\n", ""},
        {"track time", true, "0,0\n86400.001,5\n", "t.csv:2: the time '86400.001' is past the longest run, 86400 s"},
        {"track start", true, "0,1e6\n0,-1e6\n", ""},
        {"track start", true, "-0.001,0\n", "t.csv:1: the times must start at 0 or later and not go back"},
        {"track order", true, "0,0\n2,0\n1.999,0\n", "t.csv:3: the times must start at 0 or later and not go back"},
        {"track airspeed", true, "0,0\n1,1000000.001\n", "t.csv:2: the airspeed is beyond ±1e6, the most a track may give"},
        {"track airspeed", true, "0,-1000000.001\n", "t.csv:1: the airspeed is beyond ±1e6, the most a track may give"},
    };
    for (const auto& c : cases) {
        std::string error;
        bool taken;
        if (c.track) {
            std::vector<TrackPoint> points;
            taken = ParseTrack(c.text, "t.csv", &points, &error);
        } else {
            Scenario scenario;
            taken = ParseScenario(c.text, "s.txt", &scenario, &error, &LumivaneDescription());
        }
        EXPECT_EQ(taken, c.error.empty()) << c.limit << ", for:\n" << c.text << error;
        EXPECT_EQ(error, c.error) << c.limit << ", for:\n" << c.text;
    }
}

TEST(Scenario, AProfileOfHoldsRampsAndRelativeTimes)
{
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("settings speed2 text \"0x5A\\n\"  # a comment\n"
                              "0 airspeed 10\n"
                              "2 ramp 110 over 4\n"
                              "+5 airspeed 50\n"
                              "8 noise 2 seed 3\n"
                              "10 end\n",
                              "s.txt", &scenario, &error, &LumivaneDescription()))
        << error;
    ASSERT_EQ(scenario.Settings.size(), 1u);
    EXPECT_EQ(scenario.Settings[0].Content, "0x5A\n");
    EXPECT_EQ(scenario.End, 10.0);
    AirspeedProfile profile(&scenario);
    const struct {
        double time, airspeed;
    } expected[] = {{0, 10}, {2, 10}, {3, 35}, {6, 110}, {6.5, 110}, {7, 50}};
    size_t next = 0;
    for (const auto& e : expected) {
        while (next < scenario.Actions.size() && scenario.Actions[next].Time <= e.time)
            profile.Apply(scenario.Actions[next++]);
        EXPECT_DOUBLE_EQ(profile.At(e.time), e.airspeed) << "at " << e.time << " s";
    }
    while (next < scenario.Actions.size())
        profile.Apply(scenario.Actions[next++]);
    for (double t = 8; t < 10; t += 0.1) {
        double v = profile.At(t);
        EXPECT_LE(v, 52.0);
        EXPECT_GE(v, 48.0);
    }
}

// A track is flown segment by segment: between two of its points the
// airspeed is on the line through them, past the last it holds, and a point
// is never passed before its time (uneven steps, so a skipped segment shows).
TEST(Scenario, ATrackIsFlownSegmentBySegment)
{
    ASSERT_TRUE(WriteWholeFile("steps.csv", "seconds,airspeed\n0,0\n1,10\n2,30\n3,60\n"));
    Scenario scenario;
    std::string error;
    ASSERT_TRUE(ParseScenario("1 track steps.csv\n6 end\n", "s.txt", &scenario, &error)) << error;
    AirspeedProfile profile(&scenario);
    const struct {
        double time, airspeed;
    } expected[] = {{1, 0}, {1.5, 5}, {2, 10}, {2.5, 20}, {3, 30}, {3.25, 37.5}, {3.5, 45}, {4, 60}, {5.5, 60}};
    size_t next = 0;
    for (const auto& e : expected) {
        while (next < scenario.Actions.size() && scenario.Actions[next].Time <= e.time)
            profile.Apply(scenario.Actions[next++]);
        EXPECT_DOUBLE_EQ(profile.At(e.time), e.airspeed) << "at " << e.time << " s";
    }
}

} // namespace
