// Where the native bench looks for the libraries a module needs decides
// whether it names a missing one before loading, so the search is checked
// against a loader configuration of the test's own making: every kind of
// line, include lines relative and absolute, wildcards in their order, the
// depth and size bounds on both sides, and the order of all the sources;
// then a needed name found there, or by its own path.
#include "bench/files/Files.h"
#include "bench/hosting/ModuleFilePlatform.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string> Standard = {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64",
    "/usr/lib64", "/lib", "/usr/lib", "/usr/local/lib"};

std::string Scratch(const std::string& name)
{
    const std::string folder = JoinPath(AbsolutePath("loader-folders-test"), "");
    EXPECT_TRUE(MakeFolders(JoinPath(folder, "conf.d")));
    return JoinPath(folder, name);
}

// The folders found from a configuration, without the module's, the
// environment's or the standard ones.
std::vector<std::string> Configured(const std::string& configuration)
{
    std::vector<std::string> folders = LoaderFolders({}, "", configuration);
    EXPECT_GE(folders.size(), Standard.size());
    EXPECT_EQ(std::vector<std::string>(folders.end() - Standard.size(), folders.end()), Standard);
    folders.resize(folders.size() - Standard.size());
    return folders;
}

class LoaderFolders_ : public testing::Test {
protected:
    void SetUp() override
    {
        if (const char* path = getenv("LD_LIBRARY_PATH"))
            saved_ = path, hadPath_ = true;
        unsetenv("LD_LIBRARY_PATH");
    }
    void TearDown() override
    {
        if (hadPath_)
            setenv("LD_LIBRARY_PATH", saved_.c_str(), 1);
    }

private:
    std::string saved_;
    bool hadPath_ = false;
};

TEST_F(LoaderFolders_, EveryKindOfConfigurationLineIsReadAsTheLoaderReadsIt)
{
    ASSERT_TRUE(WriteWholeFile(Scratch("conf.d/b.conf"), "/from/b\n"));
    ASSERT_TRUE(WriteWholeFile(Scratch("conf.d/a.conf"), "/from/a\n\t/from/a/indented\t\r\n"));
    ASSERT_TRUE(WriteWholeFile(Scratch("conf.d/skipped.txt"), "/not/a/conf\n"));
    ASSERT_TRUE(WriteWholeFile(Scratch("absolute.conf"), "/from/absolute"));
    ASSERT_TRUE(WriteWholeFile(Scratch("main.conf"),
        "# a comment\n"
        "\n"
        "   \t \n"
        "/first\n"
        "  /second   # said after it\n"
        "relative/not/a/folder\n"
        "include conf.d/*.conf\n"
        "include   " + Scratch("absolute.conf") + "\n"
        "include nothing/*.conf\n"
        "include " + Scratch("absent.conf") + "\n"
        "/last"));
    EXPECT_EQ(Configured(Scratch("main.conf")),
        (std::vector<std::string>{"/first", "/second", "/from/a", "/from/a/indented", "/from/b", "/from/absolute",
            "/last"}));
    EXPECT_TRUE(Configured(Scratch("no-such.conf")).empty());
    EXPECT_TRUE(Configured(Scratch("conf.d")).empty()) << "a folder lists nothing";
}

TEST_F(LoaderFolders_, IncludesAreFollowedFourDeepAndFilesReadToAMegabyte)
{
    // depth0.conf includes depth1.conf, ... each naming its own folder.
    for (int depth = 0; depth <= 7; ++depth)
        ASSERT_TRUE(WriteWholeFile(Scratch("depth" + std::to_string(depth) + ".conf"),
            "/depth" + std::to_string(depth) + "\ninclude depth" + std::to_string(depth + 1) + ".conf\n"));
    EXPECT_EQ(Configured(Scratch("depth0.conf")),
        (std::vector<std::string>{"/depth0", "/depth1", "/depth2", "/depth3", "/depth4"}));
    EXPECT_EQ(Configured(Scratch("depth3.conf")), (std::vector<std::string>{"/depth3", "/depth4", "/depth5", "/depth6",
                                                      "/depth7"}));

    const struct {
        size_t bytes;
        bool read;
    } sizes[] = {{1u << 20, true}, {(1u << 20) + 1, false}};
    for (const auto& s : sizes) {
        std::string text = "/big\n";
        text += std::string(s.bytes - text.size(), '#');
        ASSERT_TRUE(WriteWholeFile(Scratch("big.conf"), text));
        EXPECT_EQ(Configured(Scratch("big.conf")).size(), s.read ? 1u : 0u) << s.bytes << " bytes";
    }
}

TEST_F(LoaderFolders_, TheModulesOwnPathsComeFirstThenTheEnvironmentThenTheConfiguration)
{
    ASSERT_TRUE(WriteWholeFile(Scratch("one.conf"), "/configured\n"));
    setenv("LD_LIBRARY_PATH", "/env/one::/env/$ORIGIN", 1);
    const struct {
        std::vector<std::string> paths;
        std::string moduleFolder;
        std::vector<std::string> expected;
    } rows[] = {
        {{}, "/m/", {"/env/one", "/env//m", "/configured"}},
        {{"$ORIGIN/lib:/x;${ORIGIN}", "/y"}, "/m", {"/m/lib", "/x", "/m", "/y", "/env/one", "/env//m", "/configured"}},
        {{"$ORIGIN$ORIGIN"}, "", {"..", "/env/one", "/env/.", "/configured"}},
        {{":;"}, "/", {"/env/one", "/env//", "/configured"}},
    };
    for (const auto& r : rows) {
        std::vector<std::string> folders = LoaderFolders(r.paths, r.moduleFolder, Scratch("one.conf"));
        std::vector<std::string> expected = r.expected;
        expected.insert(expected.end(), Standard.begin(), Standard.end());
        EXPECT_EQ(folders, expected) << "module folder " << r.moduleFolder;
    }
}

TEST_F(LoaderFolders_, ANeededNameIsFoundInAFolderOrByItsOwnPath)
{
    const std::string library = Scratch("libfound.so");
    ASSERT_TRUE(WriteWholeFile(library, "not really a library\n"));
    const std::string folder = JoinPath(AbsolutePath("loader-folders-test"), "");
    const struct {
        std::string name;
        std::vector<std::string> folders;
        bool found;
    } rows[] = {
        {"libfound.so", {"/nowhere", folder}, true},
        {"libfound.so", {"/nowhere"}, false},
        {"libfound.so", {}, false},
        {library, {}, true},
        {library + ".1", {folder}, false},
        {"conf.d", {folder}, false},  // a folder is no library
        {folder + "conf.d", {}, false},
        {"./libfound.so", {folder}, false},  // a path, taken as it is: not in the current folder
    };
    for (const auto& r : rows)
        EXPECT_EQ(SystemFinds(r.name, r.folders), r.found) << r.name;
}

} // namespace
