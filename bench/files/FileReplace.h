// A file of the user's changed the one safe way: the new bytes are written
// whole into a file of our own beside it, flushed to the disk, and only then
// put in its place in one step of the file system, so that at every moment,
// a crash or a kill included, the path holds the old file or the new one,
// whole. A file made new is never written over one already there. Whatever
// fails, the user's file is left as it was and our own file is removed. Each
// platform does this in a file of its own (FileReplaceNative.cpp,
// FileReplaceWindows.cpp).
#ifndef LUMIVANE_BENCH_FILES_FILEREPLACE_H
#define LUMIVANE_BENCH_FILES_FILEREPLACE_H

#include <string>

// Puts `content` in place of the file at `path`, which held `expected` when
// it was read, through `temporary` (ours, made anew beside it). Just before
// the last step `path` is read again: a file changed since it was read is
// left as it is. False, with `problem` in a sentence that names the path and
// what the system said, when anything fails.
bool ReplaceFileWhole(const std::string& path, const std::string& expected, const std::string& content,
    const std::string& temporary, std::string* problem);

// Makes `path` a new file of `content`, through `temporary` as above, and
// never over a file already there: then false with `*existed` set.
bool CreateFileWhole(const std::string& path, const std::string& content, const std::string& temporary,
    bool* existed, std::string* problem);

// Removes a file; true when it is gone (or was never there).
bool RemoveFile(const std::string& path);

#endif
