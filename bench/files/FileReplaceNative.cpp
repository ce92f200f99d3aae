// POSIX: the new file is written and fsync'd, renamed over the old one (one
// step on every local file system), and the folder fsync'd so that the
// rename itself is on the disk. A file made new takes its name by
// renameat2's RENAME_NOREPLACE, or by link where the file system lacks it,
// both of which refuse a name already there. A write past a file-size limit
// raises SIGXFSZ, which would end the program with the user's file
// untouched but our own left behind: it is ignored while we write, so that
// the write fails with EFBIG and we clean up.
#include "bench/files/FileReplace.h"

#include "bench/files/Files.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Said(const std::string& what, const std::string& path)
{
    return "cannot " + what + " " + path + ": " + strerror(errno);
}

// The folder of `path`, for open() to fsync it.
std::string FolderToSync(const std::string& path)
{
    const std::string folder = FolderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

void SyncFolder(const std::string& path)
{
    const int folder = open(FolderToSync(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

// `content` into `temporary`, made anew with `mode`, and on the disk.
bool WriteTemporary(const std::string& temporary, const std::string& content, mode_t mode, std::string* problem)
{
    // One of ours left by a run that was killed is ours to replace.
    unlink(temporary.c_str());
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (file < 0) {
        *problem = Said("write", temporary);
        return false;
    }
    struct sigaction ignore = {}, before = {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &before);
    size_t written = 0;
    bool good = true;
    while (good && written < content.size()) {
        const ssize_t done = write(file, content.data() + written, content.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            if (done == 0)
                errno = ENOSPC;
            *problem = Said("write", temporary);
            good = false;
        } else {
            written += size_t(done);
        }
    }
    if (good && fsync(file) != 0) {
        *problem = Said("write", temporary);
        good = false;
    }
    sigaction(SIGXFSZ, &before, nullptr);
    if (close(file) != 0 && good) {
        *problem = Said("write", temporary);
        good = false;
    }
    if (!good)
        unlink(temporary.c_str());
    return good;
}

} // namespace

bool ReplaceFileWhole(const std::string& path, const std::string& expected, const std::string& content,
    const std::string& temporary, std::string* problem)
{
    problem->clear();
    struct stat old;
    if (stat(path.c_str(), &old) != 0) {
        *problem = Said("replace", path);
        return false;
    }
    if (!WriteTemporary(temporary, content, old.st_mode & 07777, problem))
        return false;
    std::string now, unread;
    if (!ReadWholeFile(path, &now, &unread, expected.size() + 1) || now != expected) {
        unlink(temporary.c_str());
        *problem = path + " changed on disk after it was read, so it was left as it is";
        return false;
    }
    if (rename(temporary.c_str(), path.c_str()) != 0) {
        *problem = Said("replace", path);
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

bool CreateFileWhole(const std::string& path, const std::string& content, const std::string& temporary,
    bool* existed, std::string* problem)
{
    *existed = false;
    problem->clear();
    if (!WriteTemporary(temporary, content, 0666, problem))
        return false;
    int moved = renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE);
    if (moved != 0 && (errno == EINVAL || errno == ENOSYS)) {
        moved = link(temporary.c_str(), path.c_str());
        if (moved == 0)
            unlink(temporary.c_str());
    }
    if (moved != 0) {
        *existed = errno == EEXIST;
        *problem = *existed ? path + " is there already" : Said("write", path);
        unlink(temporary.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

bool RemoveFile(const std::string& path)
{
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}
