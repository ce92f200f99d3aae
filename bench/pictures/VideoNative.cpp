// The native bench makes the video by running bench/pictures/video.py with
// Debian's /usr/bin/python3, which runs ffmpeg. As with the chart, the
// script's own output is not shown: its exit status says enough, and the
// summary stays the bench's.
#include "bench/pictures/Video.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace {

const char Python[] = "/usr/bin/python3";
const char Script[] = LUMIVANE_VIDEO_SCRIPT;
// video.py's exit statuses for what the machine or the run lacks.
const int NoFfmpeg = 3;
const int NoFrames = 4;

} // namespace

bool MakeVideo(const std::string& out, const std::string& mp4, int frameScale, std::string* note)
{
    const std::string scale = std::to_string(frameScale);
    const std::string command = std::string(Python) + " " + Script + " " + out + " " + mp4 + " --frame-scale " + scale;
    struct stat info;
    if (stat(Python, &info) != 0) {
        *note = std::string("No video: there is no ") + Python + " (Debian packages python3 and python3-pil)";
        return false;
    }
    if (stat(Script, &info) != 0) {
        *note = std::string("No video: ") + Script + " is gone";
        return false;
    }
    std::vector<char*> argv = {const_cast<char*>(Python), const_cast<char*>(Script),
                               const_cast<char*>(out.c_str()), const_cast<char*>(mp4.c_str()),
                               const_cast<char*>("--frame-scale"), const_cast<char*>(scale.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, Python, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        *note = "No video: " + command + " did not run";
        return false;
    }
    if (WEXITSTATUS(status) == NoFfmpeg) {
        *note = "No video: there is no ffmpeg (Debian package ffmpeg); with it: " + command;
        return false;
    }
    if (WEXITSTATUS(status) == NoFrames) {
        *note = "No video: the run wrote no frames";
        return false;
    }
    if (WEXITSTATUS(status) != 0) {
        *note = "No video: video.py failed; to see why: " + command;
        return false;
    }
    *note = "Video: " + mp4;
    return true;
}
