// ALSA's file device may close its file a moment after the DirectSound device
// is released, so a capture is read once its size stops changing.
#include "bench/sound/RunSound.h"

#include "bench/sound/Bursts.h"
#include "bench/sound/SoundTap.h"
#include "bench/sound/WavFile.h"
#include "platform/SoftDirectSound.h"

#include <math.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>

void RunSound::Start(const std::string& capture, bool soft)
{
    capture_ = capture;
    soft_ = soft;
    captured_ = CapturedSound();
    if (!capture_.empty())
        remove(capture_.c_str());
}

void RunSound::Gather()
{
    if (capture_.empty() || soft_)
        return;
    long size = -1;
    for (int tries = 0; tries < 20; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        struct stat info;
        long now = stat(capture_.c_str(), &info) == 0 ? long(info.st_size) : -1;
        if (now == size)
            break;
        size = now;
    }
    if (size < 0)
        return;
    CapturedSound part = ReadCapture(capture_);
    if (part.Problem.empty())
        AppendCapture(&captured_, part);
    remove(capture_.c_str());
}

namespace {

// A captured call-out keeps this much of its decay after its last loud sample.
const double TailSeconds = 0.03;

// The capture with each call-out moved to its play's time, and nothing else.
// False when the capture's call-outs cannot be matched with the plays one to
// one (a play the device dropped, or sound the bench did not start).
bool PlaceCallouts(const CapturedSound& captured, double seconds, const std::vector<double>& plays,
    std::vector<float>* placed)
{
    const uint32_t channels = captured.Channels;
    const std::vector<Burst> callouts = GroupCallouts(FindBursts(captured, 0.01f), captured.Rate);
    if (callouts.size() != plays.size())
        return false;
    const uint64_t frames = uint64_t(llround(seconds * captured.Rate));
    placed->assign(size_t(frames * channels), 0.0f);
    const uint64_t tail = uint64_t(TailSeconds * captured.Rate);
    const uint64_t available = captured.Frames.size() / channels;
    for (size_t i = 0; i < callouts.size(); ++i) {
        const uint64_t from = callouts[i].First;
        const uint64_t to = std::min(callouts[i].Last + 1 + tail, available);
        const uint64_t at = uint64_t(llround(plays[i] * captured.Rate));
        for (uint64_t f = from; f < to && at + (f - from) < frames; ++f)
            for (uint32_t c = 0; c < channels; ++c)
                (*placed)[size_t((at + f - from) * channels + c)] += captured.Frames[size_t(f * channels + c)];
    }
    return true;
}

} // namespace

RunSoundFile RunSound::Write(const std::string& path, double seconds, const std::vector<double>& plays)
{
    RunSoundFile file;
    if (soft_) {
        std::vector<SoundStretch> stretches;
        for (const HeardStretch& stretch : HeardTrack())
            stretches.push_back({stretch.Start, stretch.Samples.data(), stretch.Samples.size()});
        if (WriteMonoWav(stretches, TapClock(), SOFT_DIRECTSOUND_RATE, path)) {
            file.Path = path;
            file.Note = "the software DirectSound's mix, 11025 Hz mono, in the run's time";
            file.Bursts = int(FindStretchBursts(stretches, SOFT_DIRECTSOUND_RATE, 0.01f).size());
        }
    } else if (!capture_.empty()) {
        CapturedSound placed = captured_;
        if (captured_.Channels && PlaceCallouts(captured_, seconds, plays, &placed.Frames)) {
            placed.Samples.clear();
            for (size_t f = 0; f < placed.Frames.size(); f += placed.Channels)
                placed.Samples.push_back(placed.Frames[f]);
            if (WriteCaptureWav(placed, path)) {
                file.Path = path;
                file.Note = "what Wine's DirectSound played (" + std::to_string(captured_.Rate) +
                    " Hz), each call-out placed at the pass that started it, since the recording device is "
                    "not paced";
                file.Bursts = int(FindBursts(placed, 0.01f).size());
            }
        } else if (captured_.Channels && WriteCaptureWav(captured_, path)) {
            file.Path = path;
            file.Note = "what Wine's DirectSound sent to the sound card (" + std::to_string(captured_.Rate) +
                " Hz), as captured: its call-outs did not match the plays one to one, so silences are not "
                "to scale";
            file.Bursts = int(FindBursts(captured_, 0.01f).size());
        } else if (!captured_.Channels) {
            file.Note = "nothing was recorded at " + capture_;
        }
    } else {
        file.Note = "real DirectSound, not recorded: no sound.wav (bench/run-bench records a run without --window)";
    }
    // Every way that says nothing else tried to write the file and could not.
    if (file.Path.empty() && file.Note.empty())
        file.Note = "cannot write " + path;
    return file;
}

namespace {

std::string ErrorName(long result)
{
    switch (uint32_t(result)) {
    case uint32_t(DSERR_NODRIVER):
        return "DSERR_NODRIVER, no sound device";
    case uint32_t(DSERR_ALLOCATED):
        return "DSERR_ALLOCATED, the device is taken";
    case uint32_t(DSERR_OUTOFMEMORY):
        return "DSERR_OUTOFMEMORY";
    case uint32_t(DSERR_INVALIDPARAM):
        return "DSERR_INVALIDPARAM, which Wine gives when it finds no sound device";
    }
    char hex[16];
    snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(uint32_t(result)));
    return hex;
}

} // namespace

std::string RunSound::DeviceRefusal(bool soft)
{
    // The last attempt counts: a gauge killed and installed again opens a
    // new device each time.
    std::string refusal;
    for (const SoundEvent& event : SoundEvents()) {
        if (event.What == SoundEvent::DeviceCreated)
            refusal.clear();
        else if (event.What == SoundEvent::DeviceRefused)
            refusal = "DirectSoundCreate failed (" + ErrorName(event.Result) + ")";
        else if (event.What == SoundEvent::CooperativeLevel && event.Result < 0)
            refusal = "SetCooperativeLevel failed (" + ErrorName(event.Result) + ")";
    }
    if (refusal.empty())
        return refusal;
    return "DirectSound could not be opened: " + refusal + ". The gauge runs silent, as it would in the simulator " +
        "on this machine" + (soft ? "" : "; --soft-sound hears it through the bench's own software DirectSound");
}
