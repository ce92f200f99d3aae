// The speeds the bench says the gauge holds, row by row, each row flown
// through the real module: its settings files as a user may leave them, some
// presses, perhaps another program's edit after the load, then a slow ramp
// of whole knots. Each row is judged by what the gauge really does in that
// run, the airspeed at which each lamp first lights (a lamp lights from its
// speed up to Speed3 + 10), never by another copy of how the files are read.
// Runs the native module natively and the DLL under Wine.
#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/lumivane/SettingsScan.h"
#include "bench/recording/RecordedRun.h"
#include "tests/bench/flying/BenchPaths.h"
#include "tests/bench/flying/QuietRun.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr double Rate = GaugeHost::PassesPerSecond;
// Passes at rest before the ramp, for the load and the presses; then one
// knot a pass up to RampTop.
constexpr int RestPasses = 20;
constexpr int RampTop = 320;
constexpr int NotLit = -1000;

// A settings file as the row leaves it: nullptr for none.
struct Files {
    const char* Speed1;
    const char* Speed2;
    const char* Speed3;
};

struct Row {
    const char* Name;
    Files Before;
    const char* Presses; // scenario lines during the rest
    Files After;         // written at pass 10 by another program; nullptr leaves a file
    int64_t Expected[3]; // what the row is built to show, as a readable check of the table
};

// A speed the bench cannot know: its file holds more than the bench reads
// before its number, so the bench says so rather than keep an older value.
constexpr int64_t Unknown = INT64_MAX;
const std::string PastTheMostRead = std::string(MostSettingsBytes, ' ') + "60";

const Row Rows[] = {
    {"no files", {nullptr, nullptr, nullptr}, "", {}, {80, 90, 100}},
    {"Speed1's file alone", {"70", nullptr, nullptr}, "", {}, {80, 90, 100}},
    {"Speed2's file alone", {nullptr, "95", nullptr}, "", {}, {80, 90, 100}},
    {"Speed3's file alone", {nullptr, nullptr, "150"}, "", {}, {80, 90, 150}},
    {"Speed1's and Speed2's", {"70", "95", nullptr}, "", {}, {80, 90, 100}},
    {"Speed1's and Speed3's", {"70", nullptr, "150"}, "", {}, {70, 90, 150}},
    {"Speed2's and Speed3's", {nullptr, "95", "150"}, "", {}, {80, 90, 150}},
    {"all three", {"70", "95", "150"}, "", {}, {70, 95, 150}},
    {"octal, hex, sign and white space", {"0106", "0x5F", " \n\t+150"}, "", {}, {70, 95, 150}},
    {"a negative number", {"-5", "95", "150"}, "", {}, {-5, 95, 150}},
    {"no number, and nothing", {"70", "knots", ""}, "", {}, {70, 90, 100}},
    {"more than 32 bits", {"4294967376", "95", "150"}, "", {}, {2147483647, 95, 150}},
    {"the 32-bit limits", {"-2147483648", "2147483647", "150"}, "", {}, {INT32_MIN, INT32_MAX, 150}},
    {"one beyond the 32-bit limits", {"-2147483649", "2147483648", "150"}, "", {}, {INT32_MIN, INT32_MAX, 150}},
    {"hex and octal at and beyond the limits", {"-0x80000000", "0x80000000", "017777777777"}, "", {},
        {INT32_MIN, INT32_MAX, INT32_MAX}},
    {"Speed3 at the lowest", {"70", "95", "-2147483648"}, "", {}, {70, 95, INT32_MIN}},
    {"another program's edit after the load", {"70", "95", "150"}, "", {"60", nullptr, "120"}, {70, 95, 150}},
    {"another program's edit before the load", {"70", nullptr, "150"}, "", {nullptr, "85", nullptr}, {70, 85, 150}},
    {"adjusts after the load", {"70", "95", "150"}, "0.1 press 3 31\n0.2 press 57 30\n0.3 press 57 30\n", {},
        {70, 97, 150}},
    {"an adjust while Speed3's file is missing", {"70", nullptr, nullptr}, "0.1 press 16 63\n0.2 press 57 30\n",
        {}, {81, 90, 100}},
    {"an adjust that completes the load", {"70", nullptr, "150"}, "0.1 press 3 31\n0.2 press 57 30\n", {},
        {70, 91, 150}},
    {"a load completed by a file past the most read", {"70", nullptr, "150"}, "",
        {PastTheMostRead.c_str(), "85", nullptr}, {Unknown, 85, 150}},
};

std::string SettingsLine(const char* speed, const char* content)
{
    if (!content)
        return std::string("settings ") + speed + " missing\n";
    std::string escaped;
    for (const char* c = content; *c; ++c)
        escaped += *c == '\n' ? "\\n" : *c == '\t' ? "\\t" : std::string(1, *c);
    return std::string("settings ") + speed + " text \"" + escaped + "\"\n";
}

void Write(const std::string& sandbox, int speed, const char* content)
{
    if (!content)
        return;
    FILE* file = fopen(SettingsFilePath(sandbox, speed).c_str(), "wb");
    ASSERT_NE(file, nullptr) << SettingsFilePath(sandbox, speed);
    fputs(content, file);
    fclose(file);
}

// Where lamp k first lights on a ramp of whole knots from 0 to RampTop, if a
// lamp lights from its speed up to Speed3 + 10.
int FirstLit(int64_t speed, int64_t speed3)
{
    const int64_t from = std::max<int64_t>(speed, 0);
    return from <= std::min<int64_t>(RampTop, speed3 + 10) ? int(from) : NotLit;
}

TEST(KnownSpeeds, AreWhatTheGaugeHoldsRowByRow)
{
    for (const Row& row : Rows) {
        SCOPED_TRACE(row.Name);
        const std::string text = SettingsLine("speed1", row.Before.Speed1) + SettingsLine("speed2", row.Before.Speed2) +
                                 SettingsLine("speed3", row.Before.Speed3) + row.Presses +
                                 std::to_string((RestPasses + RampTop + 2) / Rate) + " end\n";
        Scenario scenario;
        std::string error;
        ASSERT_TRUE(ParseScenario(text, "speeds.txt", &scenario, &error, &LumivaneDescription())) << error;
        RunOptions options = QuietRun("known-speeds");
        options.Settings = OutFolder("known-speeds-settings");
        options.Record = false;
        LumivaneReader reader;
        options.Reader = &reader;
        int lit[3] = {NotLit, NotLit, NotLit};
        PanelReading atRamp;
        bool steady = true;
        options.TakeInput = [&](PassControl& control) {
            const int pass = int(control.Time() * Rate + 0.5);
            if (pass == 10) {
                Write(options.Settings, 1, row.After.Speed1);
                Write(options.Settings, 2, row.After.Speed2);
                Write(options.Settings, 3, row.After.Speed3);
            }
            control.SetAirspeed(std::max(0, pass - RestPasses));
        };
        options.ShowPass = [&](const PassRecord& pass) {
            const PanelReading& reading = reader.Reading();
            if (int(pass.Pass) == RestPasses)
                atRamp = reading;
            if (int(pass.Pass) < RestPasses)
                return;
            for (int k = 0; k < 3; ++k) {
                if (reading.Display.Lamps[k] && lit[k] == NotLit)
                    lit[k] = int(pass.Airspeed);
                steady = steady && reading.SpeedKnown[k] == atRamp.SpeedKnown[k] &&
                         reading.Speeds[k] == atRamp.Speeds[k];
            }
        };
        RunSummary summary;
        ASSERT_TRUE(RunScenario(options, scenario, &summary, &error)) << error;
        EXPECT_TRUE(summary.Faults.empty()) << summary.Faults.front();
        EXPECT_TRUE(steady) << "the speeds changed on the ramp, where nothing changes them";
        for (int k = 0; k < 3; ++k) {
            ASSERT_EQ(atRamp.SpeedKnown[k], row.Expected[k] != Unknown) << "Speed" << k + 1 << " known or not";
            if (atRamp.SpeedKnown[k])
                EXPECT_EQ(atRamp.Speeds[k], row.Expected[k]) << "Speed" << k + 1 << " as the table expects";
        }
        for (int k = 0; k < 3; ++k)
            if (atRamp.SpeedKnown[k])
                EXPECT_EQ(lit[k], FirstLit(atRamp.Speeds[k], atRamp.Speeds[2]))
                << "lamp " << k + 1 << " on the ramp, where the bench says Speed" << k + 1 << " is "
                << atRamp.Speeds[k] << " and Speed3 " << atRamp.Speeds[2];
    }
}

// The reading of one settings file, on its own, at the edges a file can
// take it to: the 32-bit limits and beyond in each base, a sign or prefix
// with nothing after it, and a number that ends at, or runs past, the most
// the bench reads. Only a number is written out.
TEST(KnownSpeeds, ASettingsFileIsReadAsTheGaugeReadsItUpToTheLimits)
{
    const std::string padding(65534, ' ');
    const struct {
        const char* what;
        std::string text;
        SettingsNumber number;
        int32_t value;
    } rows[] = {
        {"the highest", "2147483647", SettingsNumber::Number, INT32_MAX},
        {"one above", "2147483648", SettingsNumber::Number, INT32_MAX},
        {"the lowest", "-2147483648", SettingsNumber::Number, INT32_MIN},
        {"one below", "-2147483649", SettingsNumber::Number, INT32_MIN},
        {"far above", "99999999999999999999999999", SettingsNumber::Number, INT32_MAX},
        {"far below", "-99999999999999999999999999", SettingsNumber::Number, INT32_MIN},
        {"below, through the highest on the way", "-21474836470", SettingsNumber::Number, INT32_MIN},
        {"hex, the highest", "0x7fffffff", SettingsNumber::Number, INT32_MAX},
        {"hex, one above", "0X80000000", SettingsNumber::Number, INT32_MAX},
        {"hex, the lowest", "-0x80000000", SettingsNumber::Number, INT32_MIN},
        {"hex, one below", "-0x80000001", SettingsNumber::Number, INT32_MIN},
        {"octal, the highest", "017777777777", SettingsNumber::Number, INT32_MAX},
        {"octal, one above", "020000000000", SettingsNumber::Number, INT32_MAX},
        {"octal, a digit it cannot take", "08", SettingsNumber::Number, 0},
        {"a prefix alone", "0x", SettingsNumber::Number, 0},
        {"minus zero", "-0", SettingsNumber::Number, 0},
        {"a plus sign", "+7 knots", SettingsNumber::Number, 7},
        {"a sign alone", "-", SettingsNumber::NoNumber, 0},
        {"two signs", "+-5", SettingsNumber::NoNumber, 0},
        {"nothing", "", SettingsNumber::NoNumber, 0},
        {"a number over just inside the most read", padding + "5 ", SettingsNumber::Number, 5},
        {"a number over only past the most read", padding + " 5 ", SettingsNumber::TooLong, 0},
    };
    ASSERT_TRUE(MakeFolders(OutFolder("settings-scan")));
    const std::string path = SettingsFilePath(OutFolder("settings-scan"), 1);
    for (const auto& row : rows) {
        FILE* file = fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr) << path;
        fwrite(row.text.data(), 1, row.text.size(), file);
        fclose(file);
        int32_t value = 0x5EED;
        EXPECT_EQ(int(ScanSettingsFile(path, &value)), int(row.number)) << row.what;
        EXPECT_EQ(value, row.number == SettingsNumber::Number ? row.value : 0x5EED) << row.what;
    }
    remove(path.c_str());
    int32_t value = 0x5EED;
    EXPECT_EQ(int(ScanSettingsFile(path, &value)), int(SettingsNumber::Unopened)) << "no file";
    EXPECT_EQ(value, 0x5EED) << "no file";
}

// The readout remembers the last speed it formatted and the text that gave,
// and starts out remembering a pair of its own. Whatever the host's buffer
// held before the first pass, and whatever speed the files load, the first
// readout is that speed as "%3d" makes it. Each row is a fresh load.
TEST(KnownSpeeds, TheFirstReadoutIsTheLoadedSpeedWhateverTheHostBufferHeld)
{
    const char* const speeds[] = {"-99", "-1", "0", "1", "2", "100", "999"};
    // Every text the speeds make among what the buffer may hold: the pair
    // the readout starts out remembering could be any of them.
    const std::string buffers[] = {std::string(16, '\0'), "  0", " -1", "  1", "  2", "-99", "100", "999", "***",
        std::string(16, '\xFF')};
    for (const char* speed : speeds) {
        for (const std::string& buffer : buffers) {
            const std::string text = std::string("settings speed1 -100\nsettings speed2 -100\nsettings speed3 ") +
                                     speed + "\n0.2 end\n";
            Scenario scenario;
            std::string error;
            ASSERT_TRUE(ParseScenario(text, "readout.txt", &scenario, &error, &LumivaneDescription())) << error;
            RunOptions options = QuietRun("first-readout");
            options.Settings = OutFolder("first-readout-settings");
            options.Record = false;
            if (speed == speeds[0] && buffer == buffers[0]) {
                // The settings lines are the reader's to lay out: a run
                // without one refuses them rather than fly without the files.
                RunSummary refused;
                ScenarioRun unread(options, scenario, &refused);
                EXPECT_FALSE(unread.Start(&error));
                EXPECT_NE(error.find("no reader"), std::string::npos) << error;
            }
            LumivaneReader reader;
            options.Reader = &reader;
            std::string first;
            options.ShowPass = [&](const PassRecord& pass) {
                if (pass.Pass == 0)
                    first = reader.Reading().Display.Readout;
            };
            RunSummary summary;
            ScenarioRun run(options, scenario, &summary);
            ASSERT_TRUE(run.Start(&error)) << error;
            memcpy(run.Host().TextBuffer(0), buffer.data(), std::min<size_t>(buffer.size(), GaugeHost::TextBufferBytes));
            while (run.Step()) {
            }
            run.Finish();
            char expected[8];
            snprintf(expected, sizeof expected, "%3d", atoi(speed));
            EXPECT_EQ(first, expected) << "Speed3 loaded as " << speed << ", the buffer holding \"" << buffer.c_str()
                                       << "\"";
        }
    }
}

} // namespace
