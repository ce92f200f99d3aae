// What Wine's DirectSound sent to the sound card, read back from the WAV file
// that ALSA's file device writes when a test's HOME/.asoundrc names it as the
// default output, and the runs of sound in it.
#ifndef LUMIVANE_TESTS_SUPPORT_RECORDING_H
#define LUMIVANE_TESTS_SUPPORT_RECORDING_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

struct Recording {
    uint32_t Rate = 0;
    std::vector<float> Samples;  // first channel, full scale 1.0
    std::string Problem;         // empty when the file was read
};

Recording ReadRecording(const std::string& path);

struct Burst {
    size_t First;
    size_t Last;
};

// Runs of sound above the threshold, taken to be one as long as they are
// never silent for more than 5 ms.
std::vector<Burst> FindBursts(const Recording& r, float threshold);

// The recording's file: capture.wav in the folder `home` beside the running
// program.
std::string CaptureBesideProgram(const char* home);

#endif
