// The scenario format's mistakes, each with the message a user gets: one bad
// line per rejection the parser makes, and the line number it names.
#include "bench/flying/AirspeedProfile.h"
#include "bench/flying/Scenario.h"

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
        {"1 press 500 -3\n", "s.txt:1: the point 500,-3 is off the panel, which is 100 × 70 pixels from 0,0 at the top left"},
        {"2 press 54 72\n", "s.txt:1: the point 54,72 is off the panel, which is 100 × 70 pixels from 0,0 at the top left"},
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
        {"settings speed4 80\n", "s.txt:1: unknown speed 'speed4' (speed1, speed2 or speed3)"},
        {"settings speed1\n", "s.txt:1: settings needs a speed and what its file holds: "
                              "settings speed1|speed2|speed3 NUMBER|missing|text \"...\""},
        {"settings speed1 eighty\n", "s.txt:1: 'eighty' is neither a whole number, 'missing' nor text \"...\""},
        {"settings speed1 text \"80\n", "s.txt:1: the text has no closing quote"},
        {"1 track none.csv\n", "s.txt:1: cannot read the track none.csv: none.csv does not exist"},
        {"0 airspeed 0\n", "s.txt:1: the scenario has no end: finish it with a line 'SECONDS end'"},
        {"3 end\n4 airspeed 0\n", "s.txt:2: nothing may follow the end (line 1)"},
    };
    for (const auto& c : cases) {
        Scenario scenario;
        std::string error;
        EXPECT_FALSE(ParseScenario(c.text, "s.txt", &scenario, &error)) << c.text;
        EXPECT_EQ(error, c.error) << "for the scenario:\n" << c.text;
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
                              "s.txt", &scenario, &error))
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

} // namespace
