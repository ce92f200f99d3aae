// The sound file of a run, sound.wav, always to scale: it lasts as long as
// the run, and each sound starts at the moment the gauge started it. With the
// software device it is the heard track, silence included, written as the
// run goes, so that a day's sound is never held in memory. Under Wine with
// its real DirectSound it is built from what ALSA's file device captured,
// gathered after each kill (the device starts its file anew with each new
// DirectSound device): that device is not paced, so its silences shrink and
// stretch with the machine's load while sounds keep their length, and each
// captured call-out is placed, unchanged, at the time the bench saw its play
// start.
#ifndef LUMIVANE_BENCH_SOUND_RUNSOUND_H
#define LUMIVANE_BENCH_SOUND_RUNSOUND_H

#include "bench/sound/AlsaCapture.h"
#include "bench/sound/Bursts.h"
#include "bench/sound/WavFile.h"
#include "platform/SoftDirectSound.h"

#include <string>
#include <vector>

struct RunSoundFile {
    std::string Path; // empty when none was written
    std::string Note; // what it holds, or why there is none
    int Bursts = -1;  // bursts of sound in it; -1 when none was written
};

class RunSound {
public:
    // `path`: sound.wav; `capture`: the file ALSA's device records into, or
    // empty for none; `soft`: the run plays through the software device. A
    // capture left from an earlier run is removed. False when sound.wav
    // cannot be written.
    bool Start(const std::string& path, const std::string& capture, bool soft);
    // After each pass: what the software device has played so far goes to
    // sound.wav.
    void Follow();
    // Takes what the capture holds once the device is gone (after a kill).
    void Gather();
    // Finishes sound.wav for a run of `seconds` whose plays started at
    // `plays` (seconds, in order).
    RunSoundFile Write(double seconds, const std::vector<double>& plays);

    // Why the gauge's DirectSound could not be opened in this run (the
    // device or its cooperative level refused, as the sound tap saw it), or
    // empty when it could, or when the gauge never asked.
    static std::string DeviceRefusal(bool soft);

private:
    std::string path_;
    std::string capture_;
    bool soft_ = false;
    CapturedSound captured_;
    std::string captureProblem_; // why the last capture could not be read
    WavWriter heard_;            // the software device's, as the run goes
    BurstFinder bursts_{SOFT_DIRECTSOUND_RATE / 200};
};

#endif
