// The files room holds every bound the bench puts on what a user hands it,
// so its rules are checked on both sides of each bound: the checked
// little-endian reads against a byte-by-byte model over every offset of
// random bytes (wrapping offsets included), whole-file reads at, below and
// past their limit (the size a file claims and the bytes it really gives),
// the path helpers the records' names are made with, the text helpers
// every reader of a user's file numbers its lines, reads its numbers and
// quotes its words with, and a user's file replaced or made whole, or left
// as it was with nothing of ours beside it. In both builds.
#include "bench/files/FileReplace.h"
#include "bench/files/Files.h"
#include "bench/files/LittleEndian.h"
#include "bench/files/Text.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <random>
#include <string>
#include <vector>

namespace {

// What a checked read must give: the value of `count` bytes at `at`, least
// significant first, when they all lie inside; otherwise nothing.
bool Model(const std::vector<uint8_t>& bytes, uint64_t at, int count, uint64_t* v)
{
    *v = 0;
    if (at > bytes.size() || uint64_t(count) > bytes.size() - at)
        return false;
    for (int i = count - 1; i >= 0; --i)
        *v = *v << 8 | bytes[size_t(at) + size_t(i)];
    return true;
}

TEST(LittleEndianBytes, EveryReadIsTheModelsAtEveryOffset)
{
    std::mt19937 random(1998);
    for (size_t size = 0; size <= 20; ++size) {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& b : bytes)
            b = uint8_t(random() | (random() % 4 == 0 ? 0x80 : 0)); // high bits set often
        const LittleEndianBytes in = {bytes.data(), bytes.size()};
        std::vector<uint64_t> offsets;
        for (uint64_t at = 0; at <= size + 9; ++at)
            offsets.push_back(at);
        // Offsets a hostile header may hold: near the top, where at + count wraps.
        for (uint64_t near : {UINT64_MAX, UINT64_MAX - 1, UINT64_MAX - 3, UINT64_MAX - 7, uint64_t(UINT32_MAX),
                              uint64_t(SIZE_MAX)})
            offsets.push_back(near);
        for (uint64_t at : offsets) {
            SCOPED_TRACE("size " + std::to_string(size) + ", offset " + std::to_string(at));
            uint64_t want = 0, got64 = 99;
            uint32_t got32 = 99;
            bool fits = Model(bytes, at, 2, &want);
            EXPECT_EQ(in.U16(at, &got32), fits);
            EXPECT_EQ(got32, want) << "U16";
            fits = Model(bytes, at, 4, &want);
            EXPECT_EQ(in.U32(at, &got32), fits);
            EXPECT_EQ(got32, want) << "U32";
            got64 = 99;
            EXPECT_EQ(in.Word(at, 4, &got64), fits);
            EXPECT_EQ(got64, want) << "a 4-byte word";
            fits = Model(bytes, at, 8, &want);
            got64 = 99;
            EXPECT_EQ(in.U64(at, &got64), fits);
            EXPECT_EQ(got64, want) << "U64";
            got64 = 99;
            EXPECT_EQ(in.Word(at, 8, &got64), fits);
            EXPECT_EQ(got64, want) << "an 8-byte word";
            for (uint64_t count : {0u, 1u, 2u})
                EXPECT_EQ(in.Has(at, count), at <= size && count <= size - at) << "Has " << count;
        }
    }
}

TEST(LittleEndianBytes, NamesEndAtTheirZeroWithinTheirLength)
{
    const std::string text("ab\0abc\0xyz", 10);
    const LittleEndianBytes in = {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
    const struct {
        uint64_t at;
        size_t most;
        bool found;
        const char* name;
    } rows[] = {
        {0, 255, true, "ab"}, {0, 2, true, "ab"},   {0, 1, false, "ab"}, {2, 0, true, ""},
        {3, 3, true, "abc"},  {3, 2, false, "abc"}, {7, 255, false, "xyz"}, {10, 255, false, ""},
        {11, 255, false, ""}, {UINT64_MAX - 1, 255, false, ""},
    };
    for (const auto& row : rows) {
        std::string name = "left over";
        EXPECT_EQ(in.Name(row.at, &name, row.most), row.found) << "at " << row.at << ", most " << row.most;
        EXPECT_EQ(name, row.name) << "at " << row.at << ", most " << row.most;
    }
    // Without a length of its own a name has at most 255 characters.
    for (size_t length : {255u, 256u}) {
        std::string bytes(length, 'n');
        bytes.push_back('\0');
        const LittleEndianBytes named = {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
        std::string name;
        EXPECT_EQ(named.Name(0, &name), length == 255) << length << " characters";
    }
}

std::string Scratch(const std::string& name)
{
    std::string folder = JoinPath(AbsolutePath("files-test"), "");
    EXPECT_TRUE(MakeFolders(folder));
    return JoinPath(folder, name);
}

// Reads through both forms and checks they agree; returns the string form.
bool ReadBoth(const std::string& path, std::string* bytes, std::string* problem, size_t limit)
{
    std::vector<uint8_t> vector(3, 7);
    std::string vectorProblem;
    bool asVector = ReadWholeFile(path, &vector, &vectorProblem, limit);
    *bytes = "left over";
    bool asString = ReadWholeFile(path, bytes, problem, limit);
    EXPECT_EQ(asVector, asString) << path;
    EXPECT_EQ(std::string(vector.begin(), vector.end()), *bytes) << path;
    if (!asString)
        EXPECT_EQ(vectorProblem, *problem);
    return asString;
}

TEST(ReadWholeFile, TakesUpToItsLimitAndNotAByteMore)
{
    const struct {
        size_t size, limit;
    } rows[] = {
        {0, 0},         {0, 5},         {5, 5},         {6, 5},     {4, 5},          {65535, 65536},
        {65536, 65536}, {65537, 65536}, {65536, 65535}, {131073, 200000}, {200000, 131073},
    };
    for (const auto& row : rows) {
        std::string content(row.size, '\0');
        for (size_t i = 0; i < row.size; ++i)
            content[i] = char(i * 7 + i / 251);
        const std::string path = Scratch("sized-" + std::to_string(row.size));
        ASSERT_TRUE(WriteWholeFile(path, content));
        std::string bytes, problem;
        bool read = ReadBoth(path, &bytes, &problem, row.limit);
        EXPECT_EQ(read, row.size <= row.limit) << row.size << " bytes, limit " << row.limit;
        EXPECT_EQ(bytes, read ? content : std::string()) << row.size << " bytes, limit " << row.limit;
        if (!read)
            EXPECT_NE(problem.find(path + " is "), std::string::npos) << problem;
    }
    // The limit in the message, rounded up to whole megabytes as it is said.
    const std::string big = Scratch("just-past-a-megabyte");
    ASSERT_TRUE(WriteWholeFile(big, std::string((1u << 20) + 1, 'x')));
    std::string bytes, problem;
    EXPECT_FALSE(ReadBoth(big, &bytes, &problem, 1u << 20));
    EXPECT_EQ(problem, big + " is 2 MB, more than the 1 MB the bench reads");
}

#ifndef _WIN32
// A file that is there but cannot be opened, or read: as root no permission
// stops an open, but the limit on open files does; and the kernel's view of
// a process's memory fails its first read.
TEST(ReadWholeFile, AnOpenOrAReadThatFailsIsSaid)
{
    const std::string path = Scratch("cannot-open");
    ASSERT_TRUE(WriteWholeFile(path, "80"));
    struct rlimit before;
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
    struct rlimit none = before;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    std::string bytes, problem;
    bool read = ReadWholeFile(path, &bytes, &problem);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &before), 0);
    EXPECT_FALSE(read);
    EXPECT_EQ(problem, "cannot open " + path + ": " + strerror(EMFILE));

    EXPECT_FALSE(ReadBoth("/proc/self/mem", &bytes, &problem, MostFileBytes));
    EXPECT_EQ(problem, "cannot read /proc/self/mem");
    EXPECT_TRUE(bytes.empty());
}

// A file whose size says nothing of what it gives (the kernel's own files
// claim 0 bytes): the limit holds for the bytes actually read.
TEST(ReadWholeFile, TheLimitHoldsForWhatIsReadNotWhatTheSizeClaimed)
{
    std::string bytes, problem;
    ASSERT_TRUE(ReadBoth("/proc/self/cmdline", &bytes, &problem, MostFileBytes)) << problem;
    ASSERT_GT(bytes.size(), 20u);
    EXPECT_FALSE(ReadBoth("/proc/self/cmdline", &bytes, &problem, 20));
    EXPECT_EQ(problem, "/proc/self/cmdline is more than the 1 MB the bench reads");
    EXPECT_TRUE(bytes.empty());
}
#endif

TEST(ReadWholeFile, WhatIsNotAFileIsNamedAndNothingIsKeptOpen)
{
    const std::string folder = Scratch("a-folder");
    ASSERT_TRUE(MakeFolders(folder));
    const std::string absent = Scratch("absent");
    remove(absent.c_str());
    const struct {
        std::string path, problem;
    } rows[] = {
        {absent, absent + " does not exist"},
        {folder, folder + " is a folder, not a file"},
#ifndef _WIN32
        {"/dev/zero", "/dev/zero is not a regular file"},
#endif
    };
    for (const auto& row : rows) {
        std::string bytes, problem;
        EXPECT_FALSE(ReadBoth(row.path, &bytes, &problem, MostFileBytes));
        EXPECT_EQ(problem, row.problem);
        EXPECT_TRUE(bytes.empty());
    }
    // More reads than a process may hold files open: each closes its own.
    const std::string small = Scratch("small");
    ASSERT_TRUE(WriteWholeFile(small, "80"));
    for (int i = 0; i < 2000; ++i) {
        std::string bytes, problem;
        ASSERT_TRUE(ReadWholeFile(small, &bytes, &problem)) << "read " << i << ": " << problem;
        ASSERT_EQ(bytes, "80");
    }
}

TEST(Paths, JoinKeepTheSeparatorTheFolderHasAndFoldersAreMadeAndKnown)
{
    const struct {
        const char *folder, *name, *joined;
    } joins[] = {
        {"", "n", "n"},           {"a", "n", "a/n"},          {"a/", "n", "a/n"},        {"a\\", "n", "a\\n"},
        {"C:\\x", "n", "C:\\x\\n"}, {"C:\\x\\", "n", "C:\\x\\n"}, {"/a/b", "n", "/a/b/n"}, {"a/b\\c", "n", "a/b\\c\\n"},
    };
    for (const auto& j : joins)
        EXPECT_EQ(JoinPath(j.folder, j.name), j.joined) << j.folder;
    const struct {
        const char *path, *folder;
    } folders[] = {{"a/b/c", "a/b/"}, {"c", ""}, {"a\\b", "a\\"}, {"/c", "/"}, {"", ""}, {"a/b/", "a/b/"}};
    for (const auto& f : folders)
        EXPECT_EQ(FolderOf(f.path), f.folder) << f.path;

    EXPECT_EQ(AbsolutePath(""), "");
    const std::string absolute = AbsolutePath("some-name");
    ASSERT_GT(absolute.size(), 10u);
    EXPECT_EQ(absolute.substr(absolute.size() - 9), "some-name");
    EXPECT_NE(std::string("/\\").find(absolute[absolute.size() - 10]), std::string::npos) << absolute;

    EXPECT_FALSE(MakeFolders(""));
    EXPECT_FALSE(IsFolder(""));
    const std::string deep = Scratch("made/in/three");
    EXPECT_TRUE(MakeFolders(deep));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_TRUE(MakeFolders(deep)) << "a folder that is there is made";
    const std::string file = Scratch("a-file");
    ASSERT_TRUE(WriteWholeFile(file, "x"));
    EXPECT_FALSE(IsFolder(file));
    EXPECT_FALSE(MakeFolders(file)) << "a file is not a folder";
    EXPECT_FALSE(MakeFolders(JoinPath(file, "below"))) << "nothing is made below a file";
    EXPECT_FALSE(WriteWholeFile(JoinPath(file, "below"), "x"));
    EXPECT_FALSE(WriteWholeFile(Scratch("made"), "x")) << "a folder is not written over";
}

// Lines are numbered from 1 and end at '\n' alone, a last line without one
// included; the walk stops where the visitor says. Numbers are read only
// when the whole word is one; a quoted word is cut at 40 characters and
// shows its control bytes.
TEST(Text, LinesNumbersAndQuotedWords)
{
    const struct {
        const char* text;
        int stopAfter; // lines the visitor takes before it says stop, or -1
        bool whole;
        const char* seen; // number:line;...
    } walks[] = {
        {"", -1, true, ""},         {"a", -1, true, "1:a;"},    {"a\n", -1, true, "1:a;"},
        {"\n\n", -1, true, "1:;2:;"}, {"a\r\n\nb", -1, true, "1:a\r;2:;3:b;"}, {"a\nb\nc", 1, false, "1:a;2:b;"},
    };
    for (const auto& w : walks) {
        const std::string text = w.text;
        std::string seen;
        const bool whole = ForEachLine(text, [&](int number, size_t at, size_t length) {
            seen += std::to_string(number) + ":" + text.substr(at, length) + ";";
            return w.stopAfter < 0 || number <= w.stopAfter;
        });
        EXPECT_EQ(whole, w.whole) << Quoted(text);
        EXPECT_EQ(seen, w.seen) << Quoted(text);
    }

    const struct {
        std::string word;
        bool number;
        double value;
        bool whole;
        int wholeValue;
    } numbers[] = {
        {"80", true, 80, true, 80},       {"-2.5", true, -2.5, false, 0},  {"+7", true, 7, true, 7},
        {"1e3", true, 1000, false, 0},    {"123456789", true, 123456789, true, 123456789},
        {"1234567890", true, 1234567890, false, 0},
        // Nothing, a word with more after it, and what strtod takes that a
        // user's number is not: none is a number.
        {"", false, 0, false, 0},         {"80 ", false, 0, false, 0},     {"0x10", false, 0, false, 0},
        {"nan", false, 0, false, 0},      {"inf", false, 0, false, 0},     {"1e999", false, 0, false, 0},
        {"ten", false, 0, false, 0},      {std::string("50\0junk", 7), false, 0, false, 0},
    };
    for (const auto& n : numbers) {
        double value = 99;
        int whole = 99;
        EXPECT_EQ(ReadNumber(n.word, &value), n.number) << Quoted(n.word);
        EXPECT_EQ(value, n.value) << Quoted(n.word) << ": 0 when it is no number";
        EXPECT_EQ(ReadWholeNumber(n.word, &whole), n.whole) << Quoted(n.word);
        EXPECT_EQ(whole, n.wholeValue) << Quoted(n.word) << ": 0 when it is no whole number";
    }

    const struct {
        std::string word, quoted;
    } quotes[] = {
        {"", "''"},
        {"speed1", "'speed1'"},
        {std::string("a\0b\x7f\n", 5), "'a\\x00b\\x7f\\x0a'"},
        {std::string(40, 'x'), "'" + std::string(40, 'x') + "'"},
        {std::string(41, 'x'), "'" + std::string(40, 'x') + "...' (41 characters)"},
        {std::string(39, 'x') + "\t\t", "'" + std::string(39, 'x') + "\\x09...' (41 characters)"},
    };
    for (const auto& q : quotes)
        EXPECT_EQ(Quoted(q.word), q.quoted) << q.word.size() << " characters";
}

// Each way a replace or a new file must refuse leaves the user's file as it
// was and nothing of ours: the file changed since it was read, gone, a new
// file's name taken. And one of ours a killed run left is written over.
TEST(FileReplace, WhatMustNotBeDoneLeavesTheFileAndNothingOfOurs)
{
    const std::string path = Scratch("users.cfg"), ours = Scratch("users.cfg.ours");
    const struct {
        const char* what;
        const char* there;    // the file's bytes now; null: no file
        const char* expected; // what it held when it was read
        bool create;          // CreateFileWhole, not ReplaceFileWhole
        bool done;
        const char* problem;  // after the path
    } rows[] = {
        {"replaced", "old", "old", false, true, ""},
        {"changed since it was read", "changed", "old", false, false, " changed on disk after it was read, so it was "
                                                                   "left as it is"},
        {"grown since it was read", "old and more", "old", false, false, " changed on disk after it was read, so it "
                                                                       "was left as it is"},
        {"made new", nullptr, "", true, true, ""},
        {"a new file's name taken", "old", "", true, false, " is there already"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RemoveFile(path);
        if (row.there)
            ASSERT_TRUE(WriteWholeFile(path, row.there));
        ASSERT_TRUE(WriteWholeFile(ours, "left by a run that was killed"));
        std::string problem;
        bool existed = false;
        const bool done = row.create ? CreateFileWhole(path, "new", ours, &existed, &problem)
                                     : ReplaceFileWhole(path, row.expected, "new", ours, &problem);
        EXPECT_EQ(done, row.done) << problem;
        EXPECT_EQ(problem, done ? std::string() : path + row.problem);
        EXPECT_EQ(existed, row.create && !row.done);
        std::string bytes, unread;
        ASSERT_TRUE(ReadWholeFile(path, &bytes, &unread)) << unread;
        EXPECT_EQ(bytes, done ? "new" : row.there);
        EXPECT_FALSE(ReadWholeFile(ours, &bytes, &unread)) << "ours is gone";
    }
    std::string problem;
    EXPECT_FALSE(ReplaceFileWhole(Scratch("no-such.cfg"), "", "new", ours, &problem));
    EXPECT_EQ(problem.rfind("cannot replace " + Scratch("no-such.cfg") + ": ", 0), 0u) << problem;
    EXPECT_TRUE(RemoveFile(Scratch("no-such.cfg"))) << "a file not there is gone";
}

} // namespace
