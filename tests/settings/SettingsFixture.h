// A clean module state and a scratch drive for every settings test. Natively
// the gauge's "C:\pelmo" paths are plain file names, so each test runs in a
// fresh temporary folder; under Wine they name the run's own prefix, never a
// real C:\, and the tests that touch them hold a CTest resource lock.
#ifndef LUMIVANE_TESTS_SETTINGS_SETTINGSFIXTURE_H
#define LUMIVANE_TESTS_SETTINGS_SETTINGSFIXTURE_H

#include "settings/SettingsFiles.h"
#include "settings/Speeds.h"

#include <gtest/gtest.h>

#include <string>

constexpr const char* Speed3File = "C:\\pelmo";
constexpr const char* Speed1File = "C:\\pelmo1";
constexpr const char* Speed2File = "C:\\pelmo2";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Speeds, selection and SettingsLoaded as a fresh load of the module has them.
    static void ResetModuleState();
    static void SetSpeeds(int32_t speed1, int32_t speed2, int32_t speed3);

    // The file's exact bytes, or "<missing>".
    static std::string ReadFile(const char* path);
    static void WriteFile(const char* path, const std::string& bytes);
    static void RemoveFiles();

private:
    std::string scratch_;
    std::string previous_;
};

#endif
