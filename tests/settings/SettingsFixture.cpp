#include "SettingsFixture.h"

#include <stdio.h>

#ifdef _WIN32
#include <direct.h>
#define rmdir _rmdir
#else
#include <stdlib.h>
#include <unistd.h>
#endif

void SettingsTest::SetUp()
{
#ifndef _WIN32
    char buffer[4096];
    previous_ = getcwd(buffer, sizeof buffer) ? buffer : ".";
    char pattern[] = "/tmp/lumivane-settings-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch_ = pattern;
    ASSERT_EQ(chdir(scratch_.c_str()), 0);
#endif
    RemoveFiles();
    ResetModuleState();
}

void SettingsTest::TearDown()
{
    RemoveFiles();
#ifndef _WIN32
    ASSERT_EQ(chdir(previous_.c_str()), 0);
    rmdir(scratch_.c_str());
#endif
}

void SettingsTest::ResetModuleState()
{
    SetSpeeds(80, 90, 100);
    SelectedSpeed = 2;
    SettingsLoaded = 0;
}

void SettingsTest::SetSpeeds(int32_t speed1, int32_t speed2, int32_t speed3)
{
    Speed1 = speed1;
    Speed2 = speed2;
    Speed3 = speed3;
}

std::string SettingsTest::ReadFile(const char* path)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return "<missing>";
    std::string bytes;
    for (int c; (c = fgetc(file)) != EOF;)
        bytes += char(c);
    fclose(file);
    return bytes;
}

void SettingsTest::WriteFile(const char* path, const std::string& bytes)
{
    FILE* file = fopen(path, "wb");
    ASSERT_NE(file, nullptr) << "cannot create " << path;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

void SettingsTest::RemoveFiles()
{
    for (const char* path : {Speed3File, Speed1File, Speed2File}) {
        remove(path);
        rmdir(path); // a test may have put a folder in a file's place
    }
}
