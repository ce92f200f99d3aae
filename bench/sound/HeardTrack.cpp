// Stretches are appended in time order, as the run's clock only moves on; a
// mix that starts inside the last stretch continues it.
#include "bench/sound/HeardTrack.h"

namespace {

std::vector<HeardStretch> Heard;

} // namespace

void HearAt(uint64_t at, const int16_t* samples, size_t count)
{
    if (Heard.empty() || Heard.back().Start + Heard.back().Samples.size() < at)
        Heard.push_back({at, {}});
    std::vector<int16_t>& heard = Heard.back().Samples;
    size_t offset = size_t(at - Heard.back().Start);
    if (heard.size() < offset + count)
        heard.resize(offset + count, 0);
    for (size_t i = 0; i < count; ++i) {
        int32_t sum = int32_t(heard[offset + i]) + samples[i];
        heard[offset + i] = int16_t(sum > 32767 ? 32767 : sum < -32768 ? -32768 : sum);
    }
}

const std::vector<HeardStretch>& HeardTrack()
{
    return Heard;
}

void ForgetHeardTrack()
{
    Heard.clear();
}
