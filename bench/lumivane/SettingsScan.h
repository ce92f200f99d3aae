// Lumivane's settings files as a host can know them: where each lies in a
// settings sandbox, what the gauge's "%i" makes of one (read by the gauge's
// own scanner, platform/ScanInteger.h, so the two never disagree), and the
// files written as the gauge writes them, for a scenario's setup, a link's
// speeds or a measurement's state.
#ifndef LUMIVANE_BENCH_LUMIVANE_SETTINGSSCAN_H
#define LUMIVANE_BENCH_LUMIVANE_SETTINGSSCAN_H

#include "bench/lumivane/LumivaneFacts.h"

#include <stdint.h>

#include <string>

// Speed 1, 2 or 3's settings file as the gauge opens it ("C:\pelmo1") and
// where it lies in a settings sandbox (bench/hosting/SettingsSandbox.h).
const char* SettingsFileOf(int speed);
std::string SettingsFilePath(const std::string& sandbox, int speed);

// A settings file read as the gauge's "%i" reads it: white space, a sign, a
// 0x or 0 prefix, digits up to the first that cannot continue, held at the
// 32-bit limits. At most MostSettingsBytes are read; a number not over by
// then is TooLong, as is a file the bench could not finish reading.
constexpr long MostSettingsBytes = 65536;
enum class SettingsNumber { Unopened, NoNumber, Number, TooLong };
SettingsNumber ScanSettingsFile(const std::string& path, int32_t* value);

// Writes `speed`'s file in `sandbox` holding exactly `content` (the gauge
// writes "%i", no line end); false when it cannot be written.
bool WriteSettingsFile(const std::string& sandbox, int speed, const std::string& content);
// Removes it, if it is there.
void RemoveSettingsFile(const std::string& sandbox, int speed);

#endif
