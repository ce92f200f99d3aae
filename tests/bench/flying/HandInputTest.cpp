// A person's hand on the panel without a browser or a window: the held press
// repeating as the host repeats it, pass by pass; the keys as one table that
// every reader can rely on, and the docs' table of them; the airspeed
// keys adding up; a key for the gauge holding its area's press until it comes
// up; the take-off's ramp. The driver here is a stand-in that writes down
// what it was asked to do, with Lumivane's reader of the panel beside it.
#include "bench/files/Files.h"
#include "bench/flying/HandInput.h"
#include "bench/flying/HeldPress.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/lumivane/PanelChain.h"
#include "bench/measuring/PanelResults.h"

#include "BenchPaths.h"

#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

namespace {

constexpr double Rate = GaugeHost::PassesPerSecond;

// Lumivane's registered list as the host holds it: the group, the decrease
// and increase areas, the selector buttons from the top, the group's end.
const MouseArea LumivaneAreas[] = {
    {AreaGroupStart, 0, 0, 0, 0, NoCursor, 0, 0, 0, nullptr, 0},
    {AreaInGroup, 25, 35, 30, 38, DownArrowCursor, 0, LeftButtonDown | RepeatWhileHeld, 0, nullptr, 0},
    {AreaInGroup, 57, 25, 30, 38, UpArrowCursor, 0, LeftButtonDown | RepeatWhileHeld, 0, nullptr, 0},
    {AreaInGroup, 3, 12, 14, 14, HandCursor, 0, LeftButtonDown, 0, nullptr, 0},
    {AreaInGroup, 3, 31, 14, 14, HandCursor, 0, LeftButtonDown, 0, nullptr, 0},
    {AreaInGroup, 3, 50, 14, 14, HandCursor, 0, LeftButtonDown, 0, nullptr, 0},
    {AreaGroupEnd, 0, 0, 0, 0, NoCursor, 0, 0, 0, nullptr, 0},
    {AreaListEnd, 0, 0, 0, 0, NoCursor, 0, 0, 0, nullptr, 0},
};

struct Asked {
    std::string What; // "hold", "release", "airspeed"
    int X = 0, Y = 0;
    double Value = 0;
};

class Driver : public PassControl {
public:
    double now = 0;
    const MouseArea* areas = LumivaneAreas;
    LumivaneReader lumivane;
    const GaugeReader* reader = &lumivane;
    std::vector<Asked> asked;

    double Time() const override { return now; }
    const MouseArea* Areas() const override { return areas; }
    void Press(int x, int y, Button) override { asked.push_back({"press", x, y, 0}); }
    void Hold(int x, int y, Button) override { asked.push_back({"hold", x, y, 0}); }
    void Release() override { asked.push_back({"release", 0, 0, 0}); }
    void SetAirspeed(double value) override { asked.push_back({"airspeed", 0, 0, value}); }
    void Kill() override {}
    void Install() override {}
    void Stop() override { asked.push_back({"stop", 0, 0, 0}); }
    const GaugeReader* Reader() const override { return reader; }
};

TEST(HeldPress, RepeatsAsTheHostDoesPassByPass)
{
    // A press at 0 held until `until`: the handler ran once at the press;
    // where the area repeats, again 0.4 s on and every 0.1 s, before the
    // release. Counted in passes of 18 a second, whatever the pass spacing.
    MouseArea repeating = {AreaInGroup, 0, 0, 10, 10, UpArrowCursor, 0, LeftButtonDown | RepeatWhileHeld, 0, nullptr, 0};
    MouseArea once = repeating;
    once.Events = LeftButtonDown;
    const struct {
        double until;
        MouseArea* area;
        int repeats;
    } rows[] = {
        {0.3, &repeating, 0}, {0.4, &repeating, 0}, {0.45, &repeating, 1}, {0.5, &repeating, 1},
        {0.55, &repeating, 2}, {1.0, &repeating, 6}, {2.0, &repeating, 16}, {1.0, &once, 0},
        {1.0, nullptr, 0}, {INFINITY, &repeating, 27},
    };
    for (const auto& row : rows) {
        HeldPress held;
        held.Start(5, 5, Button::Left, 0, row.until);
        int ran = 0;
        for (int pass = 1; pass <= 54; ++pass)
            held.Repeat(
                pass / Rate, [&](int, int, Button) { return row.area; },
                [&](MouseArea* area, int x, int y) {
                    EXPECT_EQ(area, row.area);
                    EXPECT_EQ(x, 5);
                    EXPECT_EQ(y, 5);
                    ++ran;
                });
        EXPECT_EQ(ran, row.repeats) << "held until " << row.until;
        EXPECT_EQ(held.Down(), row.until > 3) << "down after 3 s, held until " << row.until;
    }

    // Released early: nothing more.
    HeldPress held;
    held.Start(5, 5, Button::Left, 0, INFINITY);
    int ran = 0;
    auto lookUp = [&](int, int, Button) { return &repeating; };
    auto count = [&](MouseArea*, int, int) { ++ran; };
    held.Repeat(0.5, lookUp, count);
    held.Release();
    held.Repeat(2.0, lookUp, count);
    EXPECT_EQ(ran, 2) << "the repeats at 0.4 and 0.5 s, none after the release";
}

TEST(HandKeys, AreOneTableEveryReaderCanRelyOn)
{
    std::set<int> codes, windowsKeys;
    std::set<std::string> webKeys, names;
    const GaugeDescription& gauge = LumivaneDescription();
    const std::string help = KeysHelp("Keys:", &gauge);
    for (int i = 0; i < HandKeyCount; ++i) {
        const KeyBinding& key = HandKeys[i];
        EXPECT_TRUE(codes.insert(int(key.Code)).second) << key.Name << ": one row a key";
        EXPECT_TRUE(windowsKeys.insert(key.WindowsKey).second) << key.Name << ": its own Windows key";
        EXPECT_TRUE(names.insert(key.Name).second) << key.Name;
        EXPECT_EQ(FindHandKey(key.Code), &key);
        EXPECT_EQ(FindWindowsKey(key.WindowsKey), &key);
        std::string web = std::string(key.WebKey) + " ";
        for (size_t at = 0, blank; (blank = web.find(' ', at)) != std::string::npos; at = blank + 1)
            if (blank > at)
                EXPECT_TRUE(webKeys.insert(web.substr(at, blank - at)).second) << key.Name << ": web key shared";
        EXPECT_NE(help.find(key.Name), std::string::npos) << key.Name << " in the help";
        EXPECT_NE(help.find(KeyDoes(key, &gauge)), std::string::npos) << key.Name << " in the help";
        EXPECT_GT(strlen(KeyHint(key, &gauge)), 0u) << key.Name;
        EXPECT_GT(strlen(key.Hint), 0u) << key.Name << ", for a gauge that gives no words";
        // A key for the gauge is said in its words, each its own.
        if (key.Control != PanelControl::None)
            EXPECT_STREQ(KeyDoes(key, &gauge), gauge.Controls[int(key.Control)].Does) << key.Name;
        EXPECT_STREQ(KeyDoes(key, nullptr), key.Does) << key.Name << " without a gauge";
        int x = 0, y = 0;
        EXPECT_EQ(ControlMiddle(LumivaneAreas, key.Control, &x, &y), key.Control != PanelControl::None) << key.Name;
    }
    // Esc (0x1B) is the window's own; X, 0 and -1 are no key of the table.
    for (int windowsKey : {0x1B, int('X'), 0, -1})
        EXPECT_EQ(FindWindowsKey(windowsKey), nullptr) << windowsKey;
}

TEST(HandInput, AirspeedKeysAddUpBeforeAPassAndStayInBounds)
{
    const struct {
        std::vector<HandKey> keys;
        double airspeed; // where the pass leaves it
    } rows[] = {
        {{HandKey::AirspeedUp, HandKey::AirspeedUp, HandKey::AirspeedUp}, 3},
        {{HandKey::AirspeedUpTen, HandKey::AirspeedDown}, 9},
        {{HandKey::AirspeedUpTen, HandKey::AirspeedZero, HandKey::AirspeedUp}, 1},
        {{HandKey::AirspeedDownTen}, 0},
        {std::vector<HandKey>(120, HandKey::AirspeedUpTen), 999},
    };
    for (const auto& row : rows) {
        HandInput hands;
        Driver driver;
        for (HandKey key : row.keys)
            hands.KeyDown(key, true); // a held key's repeats all count
        hands.Apply(driver);
        ASSERT_FALSE(driver.asked.empty());
        EXPECT_EQ(driver.asked.back().What, "airspeed");
        EXPECT_EQ(driver.asked.back().Value, row.airspeed) << row.keys.size() << " keys";
    }
}

TEST(HandInput, AKeyForTheGaugeHoldsItsAreaUntilItComesUp)
{
    const struct {
        HandKey key;
        int x, y; // the middle of its area
    } rows[] = {
        {HandKey::Decrease, 40, 54}, {HandKey::Increase, 72, 44}, {HandKey::Selector3, 10, 19},
        {HandKey::Selector2, 10, 38}, {HandKey::Selector1, 10, 57},
    };
    for (const auto& row : rows) {
        HandInput hands;
        Driver driver;
        hands.KeyDown(row.key);
        hands.KeyDown(row.key, true); // the system's repeat: the press repeats itself
        hands.Up();                   // the mouse did not hold it
        hands.KeyUp(HandKey::AirspeedUp);
        hands.Apply(driver);
        ASSERT_EQ(driver.asked.size(), 1u) << FindHandKey(row.key)->Name;
        EXPECT_EQ(driver.asked[0].What, "hold");
        EXPECT_EQ(driver.asked[0].X, row.x) << FindHandKey(row.key)->Name;
        EXPECT_EQ(driver.asked[0].Y, row.y) << FindHandKey(row.key)->Name;
        hands.KeyUp(row.key);
        hands.Apply(driver);
        ASSERT_EQ(driver.asked.size(), 2u);
        EXPECT_EQ(driver.asked[1].What, "release");
    }

    // While no list is registered (the gauge killed), or with no reader to
    // say where the area is, the key presses nothing.
    for (const bool listed : {false, true}) {
        HandInput hands;
        Driver driver;
        if (listed)
            driver.reader = nullptr;
        else
            driver.areas = nullptr;
        hands.KeyDown(HandKey::Increase);
        hands.Apply(driver);
        EXPECT_TRUE(driver.asked.empty()) << (listed ? "no reader" : "no list");
    }
}

// The take-off climbs as Lumivane's reader says: from 0 to twenty past
// Speed3 as the last pass showed it (its starting value before any pass)
// over ten seconds; with no reader it does not start.
TEST(HandInput, TheTakeOffClimbsToTwentyPastSpeed3OverTenSecondsThenHolds)
{
    const bool third[PanelSpeeds] = {false, false, true}, dark[PanelSpeeds] = {};
    for (const int speed3 : {0, 100, 150}) {
        HandInput hands;
        Driver driver;
        driver.lumivane.ModuleLoaded("no-such-sandbox");
        if (speed3) {
            const PassResults pass = PanelResults(dark, third, std::to_string(speed3).c_str());
            driver.lumivane.Passed(&pass, 0, nullptr, 0);
        }
        hands.KeyDown(HandKey::TakeOff);
        const double top = (speed3 ? speed3 : StartingSpeeds[2]) + 20;
        EXPECT_EQ(driver.lumivane.TakeOffSeconds(), 10) << speed3;
        for (const double t : {0.0, 2.5, 5.0, 10.0}) {
            driver.now = 1 + t;
            driver.asked.clear();
            hands.Apply(driver);
            ASSERT_FALSE(driver.asked.empty());
            EXPECT_NEAR(driver.asked.back().Value, top * t / 10, 1e-9) << t << " s in, Speed3 " << speed3;
            EXPECT_EQ(hands.TakingOff(), t < 10) << t << " s in";
        }
        // Then the airspeed is left where it got to: nothing more is asked.
        driver.now = 13;
        driver.asked.clear();
        hands.Apply(driver);
        EXPECT_TRUE(driver.asked.empty());
    }
    HandInput hands;
    Driver driver;
    driver.reader = nullptr;
    hands.KeyDown(HandKey::TakeOff);
    hands.Apply(driver);
    EXPECT_TRUE(driver.asked.empty()) << "a take-off with no reader of the panel";
    EXPECT_FALSE(hands.TakingOff());
}

// The table of the window's keys in its page of the docs is the key table,
// row for row, then Esc, the window's own.
TEST(HandKeys, AreTheDocsTable)
{
    std::string page, problem;
    ASSERT_TRUE(ReadWholeFile(SourcePath("docs/window.md"), &page, &problem)) << problem;
    const std::string header = "| Key | Does |\n|---|---|\n";
    const size_t start = page.find(header);
    ASSERT_NE(start, std::string::npos) << "docs/window.md has no table of keys";
    const size_t end = page.find("\n\n", start);
    std::string expected = header;
    for (int i = 0; i < HandKeyCount; ++i)
        expected += std::string("| ") + HandKeys[i].Name + " | " + KeyDoes(HandKeys[i], &LumivaneDescription()) + " |\n";
    expected += "| Esc | close the window |";
    EXPECT_EQ(page.substr(start, end - start), expected);
}

// Everything a person did between two passes is acted on at the next, in
// the order it came: two presses, a press and a key, and the releases, each
// let go only by its own holder.
TEST(HandInput, SeveralInputsInOnePassAreActedOnInOrder)
{
    enum What { MouseDown, MouseUp, Key, KeyRepeat, KeyRelease, Close };
    struct Step {
        What what;
        int x, y;    // MouseDown
        HandKey key; // Key, KeyRepeat, KeyRelease
    };
    const HandKey raise = HandKey::Increase, lower = HandKey::Decrease, up = HandKey::AirspeedUp;
    const struct {
        const char* what;
        std::vector<Step> steps;
        std::vector<std::string> asked; // "hold x y", "release", "airspeed v", "stop"
    } rows[] = {
        {"two presses", {{MouseDown, 10, 20, up}, {MouseUp, 0, 0, up}, {MouseDown, 30, 40, up}, {MouseUp, 0, 0, up}},
            {"hold 10 20", "release", "hold 30 40", "release"}},
        {"a press held on", {{MouseDown, 10, 20, up}, {MouseUp, 0, 0, up}, {MouseDown, 30, 40, up}},
            {"hold 10 20", "release", "hold 30 40"}},
        {"a press, then a key takes the hold", {{MouseDown, 5, 6, up}, {Key, 0, 0, raise}, {MouseUp, 0, 0, up},
            {KeyRelease, 0, 0, raise}}, {"hold 5 6", "hold 72 44", "release"}},
        {"a key, then a press takes the hold", {{Key, 0, 0, raise}, {MouseDown, 1, 2, up},
            {KeyRelease, 0, 0, raise}, {MouseUp, 0, 0, up}}, {"hold 72 44", "hold 1 2", "release"}},
        {"two keys for the gauge", {{Key, 0, 0, raise}, {Key, 0, 0, lower}, {KeyRelease, 0, 0, raise},
            {KeyRelease, 0, 0, lower}}, {"hold 72 44", "hold 40 54", "release"}},
        {"a key down, up and down again", {{Key, 0, 0, raise}, {KeyRelease, 0, 0, raise}, {Key, 0, 0, raise}},
            {"hold 72 44", "release", "hold 72 44"}},
        {"a repeat of a key not held is a press", {{KeyRepeat, 0, 0, raise}, {KeyRepeat, 0, 0, raise}},
            {"hold 72 44"}},
        {"a repeat of another key than the one held", {{Key, 0, 0, raise}, {KeyRepeat, 0, 0, lower}},
            {"hold 72 44", "hold 40 54"}},
        {"a key for the gauge and an airspeed key", {{Key, 0, 0, raise}, {Key, 0, 0, up}, {KeyRelease, 0, 0, up},
            {Key, 0, 0, up}}, {"hold 72 44", "airspeed 1", "airspeed 2"}},
        {"releases with nothing held", {{MouseUp, 0, 0, up}, {KeyRelease, 0, 0, raise}}, {}},
        {"a take-off after an airspeed key", {{Key, 0, 0, up}, {Key, 0, 0, HandKey::TakeOff}},
            {"airspeed 1", "airspeed 0"}},
        {"an airspeed key after a take-off", {{Key, 0, 0, HandKey::TakeOff}, {Key, 0, 0, up}}, {"airspeed 1"}},
        {"a take-off between airspeed keys starts them again from the pass's airspeed",
            {{Key, 0, 0, up}, {Key, 0, 0, HandKey::TakeOff}, {Key, 0, 0, up}}, {"airspeed 1", "airspeed 1"}},
        {"a press at the ends of int", {{MouseDown, INT32_MIN, INT32_MAX, up}, {MouseUp, 0, 0, up}},
            {"hold -2147483648 2147483647", "release"}},
        {"keys that are no key", {{Key, 0, 0, HandKey(-1)}, {Key, 0, 0, HandKey(HandKeyCount)},
            {KeyRelease, 0, 0, HandKey(HandKeyCount)}}, {}},
        // The window closes: whatever came before is dropped.
        {"the window closes on a press held", {{MouseDown, 10, 20, up}, {Close, 0, 0, up}}, {"release", "stop"}},
        {"the window closes on a key held", {{Key, 0, 0, raise}, {Key, 0, 0, up}, {Close, 0, 0, up}},
            {"release", "stop"}},
    };
    for (const auto& row : rows) {
        HandInput hands;
        Driver driver;
        for (const Step& step : row.steps) {
            switch (step.what) {
            case MouseDown: hands.Down(step.x, step.y); break;
            case MouseUp: hands.Up(); break;
            case Key: hands.KeyDown(step.key); break;
            case KeyRepeat: hands.KeyDown(step.key, true); break;
            case KeyRelease: hands.KeyUp(step.key); break;
            case Close: hands.Leave(driver); break;
            }
        }
        hands.Apply(driver);
        std::vector<std::string> asked;
        for (const Asked& a : driver.asked)
            asked.push_back(a.What == "airspeed" ? "airspeed " + std::to_string(int(a.Value))
                            : a.What == "release" || a.What == "stop" ? a.What
                                                  : a.What + " " + std::to_string(a.X) + " " + std::to_string(a.Y));
        EXPECT_EQ(asked, row.asked) << row.what;
        // What was acted on is gone: the next pass asks nothing but the
        // take-off's airspeed.
        if (hands.TakingOff())
            continue;
        driver.asked.clear();
        hands.Apply(driver);
        EXPECT_TRUE(driver.asked.empty()) << row.what << ": acted on again at the next pass";
    }
}

// The airspeed keys count from the airspeed the last pass showed, rounded to
// a knot, and stay within 0 and the most a key asks for, whatever that was.
TEST(HandInput, AirspeedKeysFromAShownAirspeedAtTheLimits)
{
    const struct {
        double shown;
        HandKey key;
        double asked;
    } rows[] = {
        {998.4, HandKey::AirspeedUp, 999},      {998.6, HandKey::AirspeedUp, 999},
        {997.5, HandKey::AirspeedUp, 999},      {989.5, HandKey::AirspeedUpTen, 999},
        {989.4, HandKey::AirspeedUpTen, 999},   {988.4, HandKey::AirspeedUpTen, 998},
        {0.4, HandKey::AirspeedDown, 0},        {1.5, HandKey::AirspeedDown, 1},
        {1.4, HandKey::AirspeedDown, 0},        {9.6, HandKey::AirspeedDownTen, 0},
        {10.5, HandKey::AirspeedDownTen, 1},    {-0.4, HandKey::AirspeedDown, 0},
        {-50, HandKey::AirspeedUp, 0},          {1e9, HandKey::AirspeedDownTen, 999},
        {INFINITY, HandKey::AirspeedUp, 999},   {-INFINITY, HandKey::AirspeedDown, 0},
        {double(INT32_MAX), HandKey::AirspeedZero, 0},
        {double(INT32_MIN), HandKey::AirspeedUpTen, 0},
    };
    for (const auto& row : rows) {
        HandInput hands;
        Driver driver;
        PassRecord shown;
        shown.Airspeed = row.shown;
        hands.Follow(shown);
        hands.KeyDown(row.key);
        hands.Apply(driver);
        ASSERT_EQ(driver.asked.size(), 1u) << FindHandKey(row.key)->Name << " from " << row.shown;
        EXPECT_EQ(driver.asked[0].What, "airspeed");
        EXPECT_EQ(driver.asked[0].Value, row.asked) << FindHandKey(row.key)->Name << " from " << row.shown;
    }
}

} // namespace
