// Paths, folders and whole files for every room of the bench, written once.
// Every file a user hands the bench is read through ReadWholeFile, which
// takes only regular files and never more than a stated number of bytes, so
// that a track naming /dev/zero, a FIFO or a folder ends in a message instead
// of filling memory or waiting for ever. Nothing here exits or throws.
#ifndef LUMIVANE_BENCH_FILES_FILES_H
#define LUMIVANE_BENCH_FILES_FILES_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

// The most the bench reads of any one file a user names: scenarios, tracks,
// modules, recordings and fonts are all far smaller.
constexpr size_t MostFileBytes = 64u << 20;

// `folder` and `name` joined with the separator `folder` already uses ('\'
// when it holds one, '/' otherwise); an empty folder gives `name`.
std::string JoinPath(const std::string& folder, const std::string& name);

// `path` made absolute against the working directory; empty stays empty.
std::string AbsolutePath(const std::string& path);

// The folder part of `path`, with its trailing separator ("" for a bare name).
std::string FolderOf(const std::string& path);

// Makes `path` and every folder above it. True when it is a folder now.
bool MakeFolders(const std::string& path);

// True when `path` names an existing folder.
bool IsFolder(const std::string& path);

// The whole of a regular file of at most `limit` bytes. False, with
// `problem` saying why in a sentence that names the path ("... is a folder",
// "... is not a regular file", "... is 70 MB, more than the 64 MB the bench
// reads"), when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* problem,
    size_t limit = MostFileBytes);
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* problem,
    size_t limit = MostFileBytes);

// Writes `content` as the whole of `path`; false when it cannot.
bool WriteWholeFile(const std::string& path, const std::string& content);

#endif
