// The bench keeps paths in the form the user gave them (Linux form under
// Wine too, where the launcher passes them), so joining keeps the separator
// the folder already has rather than normalising it. std::filesystem serves
// for folders and file kinds in both builds; its error-code forms are used
// throughout, since a missing or strange file is an answer, not an exception.
#include "bench/files/Files.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Megabytes(uintmax_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// Reads into anything with resize() and data() of one-byte elements.
template <typename Bytes>
bool ReadInto(const std::string& path, Bytes* bytes, std::string* problem, size_t limit)
{
    bytes->clear();
    std::error_code failure;
    fs::file_status status = fs::status(path, failure);
    if (failure || !fs::exists(status)) {
        *problem = path + " does not exist";
        return false;
    }
    if (fs::is_directory(status)) {
        *problem = path + " is a folder, not a file";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        // A device or a FIFO could hand out bytes for ever, or none at all.
        *problem = path + " is not a regular file";
        return false;
    }
    uintmax_t size = fs::file_size(path, failure);
    if (!failure && size > limit) {
        *problem = path + " is " + Megabytes(size) + ", more than the " + Megabytes(limit) + " the bench reads";
        return false;
    }
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        *problem = "cannot open " + path + ": " + strerror(errno);
        return false;
    }
    // The size can change between the look and the read: the limit holds
    // for what is actually read.
    size_t got = 0;
    bool overflow = false;
    for (;;) {
        if (got == limit + 1) {
            overflow = true;
            break;
        }
        size_t want = got + 65536 < limit + 1 ? 65536 : limit + 1 - got;
        bytes->resize(got + want);
        size_t read = fread(&(*bytes)[0] + got, 1, want, file);
        got += read;
        if (read < want)
            break;
    }
    bool failed = ferror(file) != 0;
    fclose(file);
    bytes->resize(overflow ? 0 : got);
    if (overflow) {
        *problem = path + " is more than the " + Megabytes(limit) + " the bench reads";
        return false;
    }
    if (failed) {
        *problem = "cannot read " + path;
        return false;
    }
    return true;
}

} // namespace

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    char last = folder.back();
    const char* separator = folder.find('\\') != std::string::npos ? "\\" : "/";
    return folder + (last == '/' || last == '\\' ? "" : separator) + name;
}

std::string AbsolutePath(const std::string& path)
{
    if (path.empty())
        return path;
    std::error_code failure;
    fs::path absolute = fs::absolute(path, failure);
    return failure ? path : absolute.string();
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool MakeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code failure;
    fs::create_directories(path, failure);
    return IsFolder(path);
}

bool IsFolder(const std::string& path)
{
    std::error_code failure;
    return fs::is_directory(path, failure);
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* problem, size_t limit)
{
    return ReadInto(path, bytes, problem, limit);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* problem, size_t limit)
{
    return ReadInto(path, bytes, problem, limit);
}

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool good = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && good;
}
