// The three speeds a pass's log line gives, found as a person watching the
// panel and the settings folder would find them: the selected speed from the
// readout, the others from their settings files, and failing those the last
// value the readout showed for them. The gauge's own memory is never read:
// the bench sees only what the host sees.
#ifndef LUMIVANE_BENCH_FLYING_LOGGEDSPEEDS_H
#define LUMIVANE_BENCH_FLYING_LOGGEDSPEEDS_H

#include "bench/flying/Pass.h"

#include <string>

class LoggedSpeeds {
public:
    explicit LoggedSpeeds(const std::string& sandbox) : sandbox_(sandbox) {}

    // The settings files are read again at the next Know (a handler ran, the
    // gauge was installed or killed).
    void FilesChanged() { filesChanged_ = true; }
    // Fills the record's SpeedKnown and Speeds from its panel and the files.
    void Know(PassRecord* record);

private:
    std::string sandbox_;
    bool filesChanged_ = true;
    bool fileKnown_[3] = {};
    int fileSpeed_[3] = {};
    bool readoutKnown_[3] = {};
    int readoutSpeed_[3] = {};
};

// A settings file's number as the gauge's "%i" reads it, held at the 32-bit
// limits as the gauge holds it; false when the file holds no number.
bool ReadSpeedFile(const std::string& path, int* value);

// The readout's text as a number: "%3d" gives blanks, an optional minus and
// digits, and nothing else.
bool ReadoutNumber(const std::string& text, int* value);

#endif
