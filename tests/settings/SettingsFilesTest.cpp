// The settings files: the bytes an adjust leaves, the order and retry of the
// load, and what the "%i" reader makes of hand-edited files.
#include "SettingsFixture.h"

#include "panel/Panel.h"
#include "platform/Platform.h"
#include "settings/Readout.h"

#include <climits>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

TEST_F(SettingsTest, AnAdjustLeavesOnlyTheDigits)
{
    SelectedSpeed = 1;
    for (int i = 0; i < 10; ++i)
        SpeedDownHandler(0, 0);
    EXPECT_EQ(ReadFile(Speed2File), "81") << "no line end, no terminator";

    SetSpeeds(-7, 90, 100);
    SelectedSpeed = 0;
    SpeedUpHandler(0, 0);
    EXPECT_EQ(ReadFile(Speed1File), "-6");

    // A blocked step still rewrites the file, over whatever it held.
    WriteFile(Speed3File, "   123 and more\n");
    SetSpeeds(80, 90, 200);
    SelectedSpeed = 2;
    SpeedUpHandler(0, 0);
    EXPECT_EQ(ReadFile(Speed3File), "200");
}

TEST_F(SettingsTest, AnUnwritableFileLosesOnlyTheSave)
{
    // A folder in the file's place makes it impossible to open for writing.
#ifdef _WIN32
    ASSERT_EQ(CreateDirectoryA(Speed3File, nullptr), TRUE);
#else
    ASSERT_EQ(mkdir(Speed3File, 0700), 0);
#endif
    SelectedSpeed = 2;
    EXPECT_EQ(SpeedUpHandler(0, 0), 1);
    EXPECT_EQ(Speed3, 101) << "the speed keeps its new value in memory";
    EXPECT_EQ(SpeedDownHandler(0, 0), 1);
    EXPECT_EQ(Speed3, 100);
}

TEST_F(SettingsTest, LoadReadsInOrderAndRetriesUntilAllThreeAreRead)
{
    // Only the first file of the read order: Speed3 follows it at every try.
    WriteFile(Speed3File, "150");
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(Speed3, 150);
    EXPECT_EQ(SettingsLoaded, 0);
    WriteFile(Speed3File, "160");
    WriteFile(Speed1File, "70");
    EXPECT_EQ(LoadSettings(), 0) << "still missing C:\\pelmo2";
    EXPECT_EQ(Speed3, 160);
    EXPECT_EQ(Speed1, 70);
    EXPECT_EQ(Speed2, 90) << "speeds after the missing file keep their values";

    // The second file alone is never reached: the load stops at the first.
    remove(Speed3File);
    WriteFile(Speed1File, "10");
    EXPECT_EQ(LoadSettings(), 0);
    EXPECT_EQ(Speed1, 70);

    WriteFile(Speed3File, "120");
    WriteFile(Speed2File, "95");
    EXPECT_EQ(LoadSettings(), 1);
    EXPECT_EQ(SettingsLoaded, 1);
    EXPECT_EQ(Speed1, 10);
    EXPECT_EQ(Speed2, 95);
    EXPECT_EQ(Speed3, 120);

    // Once loaded, the readout reads no file again.
    WriteFile(Speed3File, "199");
    char text[4];
    ReadoutElement.TextBuffer = text;
    ReadoutCallback(0.0);
    EXPECT_EQ(Speed3, 120);
    EXPECT_STREQ(text, "120");
}

struct Syntax {
    const char* name;
    const char* content;
    int32_t expected;
};

void PrintTo(const Syntax& syntax, std::ostream* out)
{
    *out << syntax.name;
}

class ReaderSyntax : public SettingsTest, public ::testing::WithParamInterface<Syntax> {};

TEST_P(ReaderSyntax, LoadsWhatPercentIReads)
{
    const Syntax& syntax = GetParam();
    WriteFile(Speed3File, syntax.content);
    WriteFile(Speed1File, "1");
    WriteFile(Speed2File, "2");
    Speed3 = 4242;
    EXPECT_EQ(LoadSettings(), 1) << "a file without a number still counts as read";
    EXPECT_EQ(Speed3, syntax.expected) << "from \"" << syntax.content << "\"";
    EXPECT_EQ(Speed1, 1);
    EXPECT_EQ(Speed2, 2);
}

const Syntax Syntaxes[] = {
    {"Decimal", "100", 100},
    {"Octal", "010", 8},
    {"OctalStopsAtEight", "0789", 7},
    {"Hexadecimal", "0x64", 100},
    {"HexadecimalCapitalX", "0X1f", 31},
    {"HexadecimalPrefixAlone", "0xg", 0},
    {"Negative", "-7", -7},
    {"ExplicitPlus", "+12", 12},
    {"TrailingText", "12abc", 12},
    {"LeadingWhiteSpace", "\n \t 42", 42},
    {"WindowsLineEnd", "77\r\n", 77},
    {"Zero", "0", 0},
    {"Empty", "", 4242},
    {"Garbage", "abc", 4242},
    {"SignAlone", "-", 4242},
    {"SignThenText", "+x5", 4242},
    {"BeyondMaximum", "99999999999", INT32_MAX},
    {"BeyondMinimum", "-99999999999", INT32_MIN},
    {"Maximum", "2147483647", INT32_MAX},
    {"Minimum", "-2147483648", INT32_MIN},
    {"JustBeyondMaximum", "2147483648", INT32_MAX},
    {"HexadecimalBeyondMaximum", "0xFFFFFFFFF", INT32_MAX},
    {"ManyDigits", "000000000000000000000000000012", 10},
};

INSTANTIATE_TEST_SUITE_P(Files, ReaderSyntax, ::testing::ValuesIn(Syntaxes),
                         [](const ::testing::TestParamInfo<Syntax>& info) { return info.param.name; });

} // namespace
