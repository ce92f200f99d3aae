// The windows bench makes no video: a pilot's Windows machine has neither
// Python nor ffmpeg to lean on. It says how one is made from the run.
#include "bench/pictures/Video.h"

void MakeVideo(const std::string& out, const std::string& mp4, int, std::string* note)
{
    *note = "No video: this bench does not make one. With Python 3, PIL and ffmpeg, bench/pictures/video.py from "
            "Lumivane's sources makes it: python video.py " + out + " " + mp4;
}
