// Captures are joined only when they are alike: a part of another rate or
// channel count would play at the wrong speed or with its channels crossed, so
// it is left out and the capture so far kept as it was. One row a join, from
// a fresh capture, whose fields are all zero, or from one already holding a
// part. Both builds: the reader needs no sound card.
#include "bench/sound/AlsaCapture.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

namespace {

// A part of `frames` frames, each channel's sample its channel number plus
// the frame's, so that any mixing of parts or channels shows.
CapturedSound Part(uint32_t rate, uint32_t channels, size_t frames, float base)
{
    CapturedSound part;
    part.Rate = rate;
    part.Channels = channels;
    for (size_t f = 0; f < frames; ++f) {
        for (uint32_t c = 0; c < channels; ++c)
            part.Frames.push_back(base + float(f) + 0.25f * float(c));
        part.Samples.push_back(base + float(f));
    }
    return part;
}

CapturedSound Failed(const char* problem)
{
    CapturedSound part = Part(48000, 2, 3, 10);
    part.Problem = problem;
    return part;
}

struct JoinRow {
    const char* What;
    CapturedSound Into;
    CapturedSound More;
    bool Joined; // `More` appended; else `Into` unchanged, a fresh one taking nothing either
};

std::vector<JoinRow> JoinRows()
{
    const CapturedSound fresh;
    const CapturedSound stereo = Part(48000, 2, 4, 0);
    return {
        {"a part onto a fresh capture", fresh, Part(48000, 2, 3, 10), true},
        {"a mono part onto a fresh capture", fresh, Part(44100, 1, 2, 10), true},
        {"a like part", stereo, Part(48000, 2, 3, 10), true},
        {"an empty like part", stereo, Part(48000, 2, 0, 10), true},
        {"another rate", stereo, Part(44100, 2, 3, 10), false},
        {"another channel count", stereo, Part(48000, 1, 3, 10), false},
        {"more channels", stereo, Part(48000, 3, 3, 10), false},
        {"another rate and channel count", stereo, Part(22050, 1, 3, 10), false},
        {"a part of no channels", stereo, Part(48000, 0, 0, 10), false},
        {"a part that could not be read", stereo, Failed("the recording has no data chunk"), false},
        {"an unread part onto a fresh capture", fresh, Failed("the recording is no RIFF/WAVE file"), false},
        {"a part of no channels onto a fresh capture", fresh, Part(48000, 0, 0, 10), false},
        {"a fresh capture onto one", stereo, fresh, false},
    };
}

} // namespace

TEST(AlsaCapture, AFreshCaptureHoldsNothing)
{
    const CapturedSound fresh;
    EXPECT_EQ(fresh.Rate, 0u);
    EXPECT_EQ(fresh.Channels, 0u);
    EXPECT_TRUE(fresh.Samples.empty() && fresh.Frames.empty() && fresh.Problem.empty());
    // What the reader gives back for bytes it cannot read starts the same way.
    const CapturedSound unread = ParseCapture(nullptr, 0);
    EXPECT_EQ(unread.Rate, 0u);
    EXPECT_EQ(unread.Channels, 0u);
    EXPECT_TRUE(unread.Samples.empty() && unread.Frames.empty());
    EXPECT_FALSE(unread.Problem.empty());
}

TEST(AlsaCapture, OnlyLikePartsAreJoined)
{
    for (const JoinRow& row : JoinRows()) {
        CapturedSound into = row.Into;
        AppendCapture(&into, row.More);
        CapturedSound want = row.Into;
        if (row.Joined) {
            want.Rate = row.More.Rate;
            want.Channels = row.More.Channels;
            want.Samples.insert(want.Samples.end(), row.More.Samples.begin(), row.More.Samples.end());
            want.Frames.insert(want.Frames.end(), row.More.Frames.begin(), row.More.Frames.end());
        }
        EXPECT_EQ(into.Rate, want.Rate) << row.What;
        EXPECT_EQ(into.Channels, want.Channels) << row.What;
        EXPECT_EQ(into.Samples, want.Samples) << row.What;
        EXPECT_EQ(into.Frames, want.Frames) << row.What;
        EXPECT_EQ(into.Problem, want.Problem) << row.What << ": the capture's own problem, never the part's";
    }
}
