// The readout: three characters of the selected speed in the host's 4-byte
// buffer, whatever the settings files hold, and never a byte past it.
#include "SettingsFixture.h"

#include "panel/Panel.h"
#include "settings/Readout.h"

#include <climits>
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

} // namespace
