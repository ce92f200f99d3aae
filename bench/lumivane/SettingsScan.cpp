// A file is read in text mode, as the gauge opens it, so that the same C
// library turns the same bytes into the same characters (under Wine,
// msvcrt's end of file at Ctrl-Z among them); and never past
// MostSettingsBytes, far more than any number a person writes.
#include "bench/lumivane/SettingsScan.h"

#include "bench/files/Files.h"
#include "bench/hosting/SettingsSandbox.h"
#include "platform/ScanInteger.h"

#include <stdio.h>

const char* SettingsFileOf(int speed)
{
    return SettingsFiles[speed >= 1 && speed <= PanelSpeeds ? speed - 1 : PanelSpeeds - 1];
}

std::string SettingsFilePath(const std::string& sandbox, int speed)
{
    return SandboxedPath(sandbox, SettingsFileOf(speed));
}

SettingsNumber ScanSettingsFile(const std::string& path, int32_t* value)
{
    FILE* file = fopen(path.c_str(), "r");
    if (!file)
        return SettingsNumber::Unopened;
    long read = 0;
    bool cut = false;
    auto next = [&]() {
        if (++read > MostSettingsBytes) {
            cut = true;
            return EOF;
        }
        return fgetc(file);
    };
    int32_t scanned = 0;
    const bool number = ScanIntegerFrom(next, &scanned);
    cut = cut || ferror(file);
    fclose(file);
    if (cut)
        return SettingsNumber::TooLong;
    if (!number)
        return SettingsNumber::NoNumber;
    *value = scanned;
    return SettingsNumber::Number;
}

bool WriteSettingsFile(const std::string& sandbox, int speed, const std::string& content)
{
    return WriteWholeFile(SettingsFilePath(sandbox, speed), content);
}

void RemoveSettingsFile(const std::string& sandbox, int speed)
{
    remove(SettingsFilePath(sandbox, speed).c_str());
}
