// The video of a recorded run, <scenario>.mp4 beside its chart, made by
// bench/pictures/video.py from the run's frames and sound with ffmpeg, as a
// process of its own. The native bench runs the script itself; the windows
// bench makes no video (bench/run-bench makes it after a run under Wine) and
// says how to make one.
#ifndef LUMIVANE_BENCH_VIDEO_H
#define LUMIVANE_BENCH_VIDEO_H

#include <string>

// Makes `mp4` from the run in `out`, whose frames were written at
// `frameScale`; `note` names the video, or says why there is none and how
// to make it.
void MakeVideo(const std::string& out, const std::string& mp4, int frameScale, std::string* note);

#endif
