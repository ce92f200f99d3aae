// The sound file of a run, sound.wav: with the software device, the heard
// track up to the end of the run, silence included, so that it is to scale;
// under Wine with its real DirectSound, what ALSA's file device captured,
// gathered after each kill (the device starts its file anew with each new
// DirectSound device).
#ifndef LUMIVANE_BENCH_SOUND_RUNSOUND_H
#define LUMIVANE_BENCH_SOUND_RUNSOUND_H

#include "bench/sound/AlsaCapture.h"

#include <string>

struct RunSoundFile {
    std::string Path; // empty when none was written
    std::string Note; // what it holds, or why there is none
    int Bursts = -1;  // bursts of sound in it; -1 when none was written
};

class RunSound {
public:
    // `capture`: the file ALSA's device records into, or empty for none;
    // `soft`: the run plays through the software device. A capture left from
    // an earlier run is removed.
    void Start(const std::string& capture, bool soft);
    // Takes what the capture holds once the device is gone (after a kill).
    void Gather();
    // Writes sound.wav at `path`.
    RunSoundFile Write(const std::string& path);

private:
    std::string capture_;
    bool soft_ = false;
    CapturedSound captured_;
};

#endif
