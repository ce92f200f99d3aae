// Win32: the new file is written and flushed with FlushFileBuffers, then
// MoveFileEx puts it in place with MOVEFILE_REPLACE_EXISTING (one step) and
// MOVEFILE_WRITE_THROUGH (not back before the move is on the disk). A file
// made new is moved without MOVEFILE_REPLACE_EXISTING, which refuses a name
// already there. Another program holding the file open without sharing it
// for deleting makes the move fail with a sharing violation, which is said
// in the pilot's words: Windows' own would be in the system's language.
#include "bench/files/FileReplace.h"

#include "bench/files/Files.h"

#include <windows.h>

#include <string>

namespace {

std::string Reason(DWORD code)
{
    switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program has it open (close that program, and try again)";
    case ERROR_ACCESS_DENIED:
        return "access is denied (the file or its folder is read-only, or another program has it open)";
    case ERROR_WRITE_PROTECT:
        return "the disk or the folder is read-only";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "it is not there";
    default:
        return "Windows error " + std::to_string(code);
    }
}

// Denied access to a file that is there may be a read-only file or another
// program's hold on it; Wine says the same for both, Windows not always. An
// open for deleting, shared every way, tells them apart: only another
// program's hold refuses it as a sharing violation.
DWORD Refined(DWORD code, const std::string& path)
{
    if (code != ERROR_ACCESS_DENIED)
        return code;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return code;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return ERROR_WRITE_PROTECT;
    HANDLE probe = CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return code;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? ERROR_SHARING_VIOLATION : code;
}

std::string Said(const std::string& what, const std::string& path)
{
    return "cannot " + what + " " + path + ": " + Reason(Refined(GetLastError(), path));
}

bool WriteTemporary(const std::string& temporary, const std::string& content, std::string* problem)
{
    // CREATE_ALWAYS: one of ours left by a run that was killed is ours to
    // write over.
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
        nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *problem = Said("write", temporary);
        return false;
    }
    size_t written = 0;
    bool good = true;
    while (good && written < content.size()) {
        const DWORD chunk = content.size() - written > (1u << 20) ? (1u << 20) : DWORD(content.size() - written);
        DWORD done = 0;
        if (!WriteFile(file, content.data() + written, chunk, &done, nullptr) || done == 0) {
            if (done == 0 && GetLastError() == ERROR_SUCCESS)
                SetLastError(ERROR_DISK_FULL);
            *problem = Said("write", temporary);
            good = false;
        }
        written += done;
    }
    if (good && !FlushFileBuffers(file)) {
        *problem = Said("write", temporary);
        good = false;
    }
    CloseHandle(file);
    if (!good)
        DeleteFileA(temporary.c_str());
    return good;
}

} // namespace

bool ReplaceFileWhole(const std::string& path, const std::string& expected, const std::string& content,
    const std::string& temporary, std::string* problem)
{
    problem->clear();
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        *problem = Said("replace", path);
        return false;
    }
    if (!WriteTemporary(temporary, content, problem))
        return false;
    std::string now, unread;
    if (!ReadWholeFile(path, &now, &unread, expected.size() + 1) || now != expected) {
        DeleteFileA(temporary.c_str());
        *problem = path + " changed on disk after it was read, so it was left as it is";
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        *problem = Said("replace", path);
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool CreateFileWhole(const std::string& path, const std::string& content, const std::string& temporary,
    bool* existed, std::string* problem)
{
    *existed = false;
    problem->clear();
    if (!WriteTemporary(temporary, content, problem))
        return false;
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        *existed = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
        SetLastError(code);
        *problem = *existed ? path + " is there already" : Said("write", path);
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

bool RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}
