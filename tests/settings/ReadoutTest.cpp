// The readout: three characters of the selected speed in the host's 4-byte
// buffer, whatever the settings files hold, and never a byte past it; and,
// although it formats only when its text is not already in place, always the
// bytes that formatting at every call would leave.
#include "SettingsFixture.h"

#include "panel/Panel.h"
#include "settings/Readout.h"

#include <climits>
#include <random>
#include <stdio.h>
#include <string.h>

namespace {

class ReadoutTest : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        memset(buffer_, Guard, sizeof buffer_);
        ReadoutElement.TextBuffer = buffer_;
    }

    void TearDown() override
    {
        ReadoutElement.TextBuffer = nullptr;
        SettingsTest::TearDown();
    }

    void WriteAllFiles(int32_t speed1, int32_t speed2, int32_t speed3)
    {
        WriteFile(Speed1File, std::to_string(speed1));
        WriteFile(Speed2File, std::to_string(speed2));
        WriteFile(Speed3File, std::to_string(speed3));
    }

    std::string Text() const { return std::string(buffer_, strnlen(buffer_, 4)); }

    bool GuardIntact() const
    {
        for (size_t i = 4; i < sizeof buffer_; ++i)
            if (buffer_[i] != Guard)
                return false;
        return true;
    }

    static constexpr char Guard = '#';
    char buffer_[16];
};

TEST_F(ReadoutTest, ShowsEveryValueInThreeCharacters)
{
    const struct {
        int32_t speed;
        const char* text;
    } cases[] = {
        {5, "  5"},     {80, " 80"},    {100, "100"},   {-7, " -7"},        {-99, "-99"},
        {999, "999"},   {0, "  0"},     {1000, "***"},  {-100, "***"},      {INT32_MAX, "***"},
        {INT32_MIN, "***"},
    };
    for (const auto& c : cases) {
        memset(buffer_, Guard, sizeof buffer_);
        SettingsLoaded = 1;
        Speed3 = c.speed;
        EXPECT_EQ(ReadoutCallback(2.5), 2.5) << "the argument comes back after formatting";
        EXPECT_EQ(Text(), c.text) << "readout of " << c.speed;
        EXPECT_EQ(buffer_[3], '\0') << "readout of " << c.speed;
        EXPECT_TRUE(GuardIntact()) << "readout of " << c.speed << " wrote past the 4-byte buffer";
    }
}

TEST_F(ReadoutTest, FollowsTheSelection)
{
    WriteAllFiles(5, 80, 100);
    SelectedSpeed = 0;
    EXPECT_EQ(ReadoutCallback(7.0), 7.0);
    EXPECT_EQ(Text(), "  5");
    SelectSpeed2Handler(0, 0);
    ReadoutCallback(7.0);
    EXPECT_EQ(Text(), " 80");
    SelectSpeed3Handler(0, 0);
    ReadoutCallback(7.0);
    EXPECT_EQ(Text(), "100");
}

TEST_F(ReadoutTest, FreshInstallationIsNeverBlank)
{
    // No settings files: the load fails and is retried at every call, but the
    // selected speed is shown all the same.
    EXPECT_EQ(ReadoutCallback(3.0), 1.0);
    EXPECT_EQ(Text(), "100");
    EXPECT_EQ(SettingsLoaded, 0);

    SelectSpeed1Handler(0, 0);
    SpeedUpHandler(0, 0); // creates C:\pelmo1 only
    EXPECT_EQ(ReadoutCallback(3.0), 1.0);
    EXPECT_EQ(Text(), " 81");
    EXPECT_EQ(SettingsLoaded, 0);

    // Only C:\pelmo, holding 150: every call reloads Speed3.
    WriteFile(Speed3File, "150");
    SelectSpeed3Handler(0, 0);
    EXPECT_EQ(ReadoutCallback(3.0), 1.0);
    EXPECT_EQ(Text(), "150");
    WriteFile(Speed3File, "151");
    ReadoutCallback(3.0);
    EXPECT_EQ(Speed3, 151);
    EXPECT_TRUE(GuardIntact());
}

TEST_F(ReadoutTest, LoadsOnceWhenAllFilesExist)
{
    WriteAllFiles(70, 85, 300);
    EXPECT_EQ(ReadoutCallback(-4.0), -4.0);
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(Text(), "300") << "loaded values are not clamped";
    EXPECT_EQ(Speed1, 70);
    EXPECT_EQ(Speed2, 85);

    WriteAllFiles(1, 2, 3);
    ReadoutCallback(-4.0);
    EXPECT_EQ(Speed3, 300) << "later edits to the files change nothing";
    EXPECT_EQ(Text(), "300");
}

TEST_F(ReadoutTest, NoBufferNoWrite)
{
    ReadoutElement.TextBuffer = nullptr;
    SettingsLoaded = 1;
    EXPECT_EQ(ReadoutCallback(9.0), 9.0);
}

// The plain readout, formatted at every call: what the host must find.
void FormatEveryTime(char* text, int32_t speed)
{
    if (speed < -99 || speed > 999)
        snprintf(text, 4, "***");
    else
        snprintf(text, 4, "%3d", speed);
}

// Random interleavings of adjusts, selections, settings files appearing,
// vanishing or holding values that need "***", module reloads, a host that
// writes into its buffer or hands over another one (or none), and passes.
// Each host buffer has a twin that receives the same writes but is formatted
// every time; after every pass the two must hold the same bytes.
TEST_F(ReadoutTest, RememberedTextIsAlwaysWhatFormattingEveryTimeWouldLeave)
{
    std::mt19937 random(2024);
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    constexpr int Buffers = 3;
    char host[Buffers][8];
    char twin[Buffers][8];
    for (int b = 0; b < Buffers; ++b) {
        for (char& c : host[b])
            c = char(random());
        memcpy(twin[b], host[b], sizeof host[b]);
    }
    int current = 0;
    ReadoutElement.TextBuffer = host[current];
    const int32_t values[] = {0, 5, 80, 99, 100, 199, 200, 999, 1000, -7, -99, -100, INT32_MAX, INT32_MIN};
    const char* const files[] = {Speed1File, Speed2File, Speed3File};
    int passes = 0;
    for (int step = 0; step < 6000; ++step) {
        switch (pick(10)) {
        case 0:
            (pick(2) ? SpeedUpHandler : SpeedDownHandler)(0, 0);
            break;
        case 1: {
            AreaHandler select[] = {SelectSpeed1Handler, SelectSpeed2Handler, SelectSpeed3Handler};
            select[pick(3)](0, 0);
            break;
        }
        case 2:
            if (pick(3))
                WriteFile(files[pick(3)], std::to_string(values[pick(14)]));
            else
                remove(files[pick(3)]);
            break;
        case 3:
            // A fresh load of the module: the files are read again.
            if (pick(4) == 0)
                ResetModuleState();
            break;
        case 4: {
            // The host writes into a buffer: noise, zeros as in a fresh
            // one, the last character alone, or the very text of a speed.
            int b = pick(Buffers);
            char bytes[8];
            int kind = pick(4);
            if (kind == 0) {
                for (char& c : bytes)
                    c = char(random());
            } else if (kind == 3) {
                memset(bytes, 0, sizeof bytes);
            } else {
                memcpy(bytes, host[b], sizeof bytes);
                if (kind == 1)
                    bytes[3] = char(pick(2) ? 0 : 'x');
                else
                    FormatEveryTime(bytes, values[pick(14)]);
            }
            memcpy(host[b], bytes, sizeof bytes);
            memcpy(twin[b], bytes, sizeof bytes);
            break;
        }
        case 5:
            // Another buffer, or for a while none.
            current = pick(Buffers + 1);
            ReadoutElement.TextBuffer = current < Buffers ? host[current] : nullptr;
            break;
        default:
            ReadoutCallback(0.25);
            if (current < Buffers)
                FormatEveryTime(twin[current], *SelectedSpeedValue());
            ++passes;
            for (int b = 0; b < Buffers; ++b)
                ASSERT_EQ(memcmp(host[b], twin[b], sizeof host[b]), 0)
                    << "buffer " << b << " after pass " << passes << " at step " << step << ": \""
                    << std::string(host[b], 4) << "\" where formatting would leave \"" << std::string(twin[b], 4)
                    << "\"";
        }
    }
    EXPECT_GT(passes, 2000);
    ReadoutElement.TextBuffer = nullptr;
}

} // namespace
