// ALSA's file device may close its file a moment after the DirectSound device
// is released, so a capture is read once its size stops changing.
#include "bench/sound/RunSound.h"

#include "bench/sound/Bursts.h"
#include "bench/sound/SoundTap.h"
#include "bench/sound/WavFile.h"
#include "platform/SoftDirectSound.h"

#include <stdio.h>
#include <sys/stat.h>

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

RunSoundFile RunSound::Write(const std::string& path)
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
        if (captured_.Channels && WriteCaptureWav(captured_, path)) {
            file.Path = path;
            file.Note = "what Wine's DirectSound sent to the sound card (" + std::to_string(captured_.Rate) +
                " Hz); the recording device is not paced, so silences are not to scale";
            file.Bursts = int(FindBursts(captured_, 0.01f).size());
        } else {
            file.Note = "nothing was recorded at " + capture_;
        }
    } else {
        file.Note = "real DirectSound, not recorded: no sound.wav (bench/run-bench records a run without --window)";
    }
    return file;
}
