// The native bench makes the video by running bench/pictures/video.py
// (bench/pictures/PythonScript.h), which runs ffmpeg.
#include "bench/pictures/Video.h"

#include "bench/pictures/PythonScript.h"

namespace {

const char Script[] = LUMIVANE_VIDEO_SCRIPT;
// video.py's exit statuses for what the machine or the run lacks.
const int NoFfmpeg = 3;
const int NoFrames = 4;

} // namespace

void MakeVideo(const std::string& out, const std::string& mp4, int frameScale, std::string* note)
{
    const ScriptRun run = RunPythonScript(Script, {out, mp4, "--frame-scale", std::to_string(frameScale)});
    if (!run.Missing.empty())
        *note = "No video: " + run.Missing + " (Debian packages python3 and python3-pil)";
    else if (!run.Ran)
        *note = "No video: " + run.Command + " did not run";
    else if (run.Status == NoFfmpeg)
        *note = "No video: there is no ffmpeg (Debian package ffmpeg); with it: " + run.Command;
    else if (run.Status == NoFrames)
        *note = "No video: the run wrote no frames";
    else if (run.Status != 0)
        *note = "No video: video.py failed; to see why: " + run.Command;
    else
        *note = "Video: " + mp4;
}
