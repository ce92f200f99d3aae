// Settings files are read only when something may have changed them, so that
// a long steady run reads nothing per pass. A file may hold anything a user
// put there: at most its first bytes are read, and a number beyond 32 bits is
// held at the limit, as the gauge holds it, never wrapped.
#include "bench/flying/LoggedSpeeds.h"

#include "bench/hosting/SettingsSandbox.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

bool ReadSpeedFile(const std::string& path, int* value)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char text[64] = {};
    size_t got = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[got] = 0;
    char* end = nullptr;
    long long v = strtoll(text, &end, 0);
    if (end == text)
        return false;
    *value = v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int(v);
    return true;
}

bool ReadoutNumber(const std::string& text, int* value)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    size_t start = i;
    if (i < text.size() && text[i] == '-')
        ++i;
    size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i;
    if (i == digits || i != text.size() || i - digits > 9)
        return false;
    *value = atoi(text.c_str() + start);
    return true;
}

void LoggedSpeeds::Know(PassRecord* record)
{
    if (filesChanged_) {
        for (int i = 0; i < 3; ++i)
            fileKnown_[i] = ReadSpeedFile(SettingsFilePath(sandbox_, i + 1), &fileSpeed_[i]);
        filesChanged_ = false;
    }
    const PanelState* panel = record->Panel;
    int selected = -1, shown = 0;
    for (int i = 0; panel && i < 3; ++i)
        if (panel->Marks[i] == 0.0) {
            selected = i;
            ++shown;
        }
    int value = 0;
    bool readout = panel && record->Installed && shown == 1 && ReadoutNumber(panel->Readout, &value);
    if (readout) {
        readoutKnown_[selected] = true;
        readoutSpeed_[selected] = value;
    }
    for (int i = 0; i < 3; ++i) {
        record->SpeedKnown[i] = true;
        if (readout && i == selected)
            record->Speeds[i] = value;
        else if (fileKnown_[i])
            record->Speeds[i] = fileSpeed_[i];
        else if (readoutKnown_[i])
            record->Speeds[i] = readoutSpeed_[i];
        else
            record->SpeedKnown[i] = false;
    }
}
