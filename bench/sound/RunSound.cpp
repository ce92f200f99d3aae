// ALSA's file device may close its file a moment after the DirectSound device
// is released, so a capture is read once its size stops changing.
#include "bench/sound/RunSound.h"

#include "bench/sound/Bursts.h"
#include "bench/sound/HeardTrack.h"
#include "bench/sound/SoundTap.h"
#include "bench/sound/WavFile.h"
#include "platform/SoftDirectSound.h"

#include <math.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>

bool RunSound::Start(const std::string& path, const std::string& capture, bool soft)
{
    path_ = path;
    capture_ = capture;
    soft_ = soft;
    captured_ = CapturedSound();
    captureProblem_.clear();
    bursts_ = BurstFinder(SOFT_DIRECTSOUND_RATE / 200);
    if (!capture_.empty())
        remove(capture_.c_str());
    if (soft_)
        return heard_.Open(path_, SOFT_DIRECTSOUND_RATE, 1);
    // The file is written at the end; a place it cannot go is said now, not
    // after the whole run has been flown.
    FILE* file = fopen(path_.c_str(), "wb");
    if (!file)
        return false;
    fclose(file);
    remove(path_.c_str());
    return true;
}

// Every sample already in the heard track is final (the device's time only
// moves on), so it is written out and let go at once.
void RunSound::Follow()
{
    if (!soft_)
        return;
    for (const HeardStretch& stretch : HeardTrack()) {
        const uint64_t at = heard_.Written();
        const size_t skip = stretch.Start < at ? size_t(std::min<uint64_t>(at - stretch.Start, stretch.Samples.size())) : 0;
        heard_.AppendSilence(stretch.Start > at ? stretch.Start - at : 0);
        heard_.Append(stretch.Samples.data() + skip, stretch.Samples.size() - skip);
        HearStretch(&bursts_, {stretch.Start + skip, stretch.Samples.data() + skip, stretch.Samples.size() - skip},
            0.01f);
    }
    ForgetHeardTrack();
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
    else
        captureProblem_ = part.Problem;
    remove(capture_.c_str());
}

namespace {

// A captured call-out keeps this much of its decay after its last loud sample.
const double TailSeconds = 0.03;

// Where each captured call-out goes in the run: its frames from First to
// Last, placed at the frame At.
struct Placed {
    uint64_t From, To, At;
};

// The capture's call-outs, each to be moved to its play's time, and nothing
// else. False when they cannot be matched with the plays one to one (a play
// the device dropped, or sound the bench did not start).
bool PlaceCallouts(const CapturedSound& captured, const std::vector<double>& plays, std::vector<Placed>* placed)
{
    const std::vector<Burst> callouts = GroupCallouts(FindBursts(captured, 0.01f), captured.Rate);
    if (callouts.size() != plays.size())
        return false;
    const uint64_t tail = uint64_t(TailSeconds * captured.Rate);
    const uint64_t available = captured.Frames.size() / captured.Channels;
    for (size_t i = 0; i < callouts.size(); ++i)
        placed->push_back({callouts[i].First, std::min(callouts[i].Last + 1 + tail, available),
            uint64_t(llround(plays[i] * captured.Rate))});
    return true;
}

// The placed call-outs as a run-long track, sample by sample, as WriteWav
// asks for them (in order): nothing of the run's length is held, only the
// capture itself. The first channel's bursts are counted on the way.
int WritePlaced(const CapturedSound& captured, const std::vector<Placed>& placed, double seconds,
    const std::string& path, bool* written)
{
    const uint32_t channels = captured.Channels;
    const uint64_t frames = uint64_t(llround(seconds * captured.Rate));
    BurstFinder bursts(captured.Rate / 200);
    size_t first = 0; // the first call-out that may still sound
    *written = WriteWav(path, captured.Rate, channels, frames, [&](uint64_t i) {
        const uint64_t frame = i / channels;
        const uint32_t channel = uint32_t(i % channels);
        while (first < placed.size() && placed[first].At + (placed[first].To - placed[first].From) <= frame)
            ++first;
        float sum = 0;
        for (size_t k = first; k < placed.size() && placed[k].At <= frame; ++k)
            if (frame < placed[k].At + (placed[k].To - placed[k].From))
                sum += captured.Frames[size_t((placed[k].From + frame - placed[k].At) * channels + channel)];
        if (channel == 0 && !(fabsf(sum) < 0.01f))
            bursts.Sound(frame);
        return ToSixteen(sum);
    });
    return int(bursts.Bursts().size());
}

} // namespace

RunSoundFile RunSound::Write(double seconds, const std::vector<double>& plays)
{
    RunSoundFile file;
    const std::string& path = path_;
    if (soft_) {
        Follow();
        heard_.AppendSilence(TapClock() > heard_.Written() ? TapClock() - heard_.Written() : 0);
        if (heard_.Close()) {
            file.Path = path;
            file.Note = "the software DirectSound's mix, 11025 Hz mono, in the run's time";
            file.Bursts = int(bursts_.Bursts().size());
        }
    } else if (!capture_.empty()) {
        std::vector<Placed> placed;
        bool written = false;
        if (captured_.Channels && PlaceCallouts(captured_, plays, &placed)) {
            const int bursts = WritePlaced(captured_, placed, seconds, path, &written);
            if (written) {
                file.Path = path;
                file.Note = "what Wine's DirectSound played (" + std::to_string(captured_.Rate) +
                    " Hz), each call-out placed at the pass that started it, since the recording device is "
                    "not paced";
                file.Bursts = bursts;
            }
        } else if (captured_.Channels && WriteCaptureWav(captured_, path)) {
            file.Path = path;
            file.Note = "what Wine's DirectSound sent to the sound card (" + std::to_string(captured_.Rate) +
                " Hz), as captured: its call-outs did not match the plays one to one, so silences are not "
                "to scale";
            file.Bursts = int(FindBursts(captured_, 0.01f).size());
        } else if (!captured_.Channels) {
            file.Note = captureProblem_.empty() ? "nothing was recorded at " + capture_
                                                : "the recording could not be read: " + captureProblem_;
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
