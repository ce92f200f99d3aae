// Saving and loading the call-out speeds. The file format is the bare text of
// "%i": no line end, nothing else, so that files written by earlier versions
// and edited by hand keep loading. Nothing here reports a failure: a file that
// will not open is simply tried again later, or not written.
//
// Numbers are formatted with wsprintfA and scanned by hand (platform/ScanInteger.h):
// the C library's printf and scanf family would, in a DLL without start
// files, pull in MinGW's own implementation, and scanf's conversion of an
// out-of-range number is undefined.
#include "settings/SettingsFiles.h"

#include "platform/Platform.h"
#include "platform/ScanInteger.h"
#include "settings/Speeds.h"

int32_t SettingsLoaded = 0;

namespace {

struct SettingsFile {
    const char* Path;
    int32_t* Speed;
};

// The read order.
const SettingsFile ReadOrder[] = {
    {"C:\\pelmo", &Speed3},
    {"C:\\pelmo1", &Speed1},
    {"C:\\pelmo2", &Speed2},
};

} // namespace

int32_t ScanInteger(FILE* stream, int32_t* value)
{
    return ScanIntegerFrom([stream] { return fgetc(stream); }, value);
}

void SaveSpeed(const int32_t* speed)
{
    for (const SettingsFile& file : ReadOrder) {
        if (file.Speed != speed)
            continue;
        FILE* stream = fopen(file.Path, "w");
        // The speed keeps its new value in memory; it is saved with the next
        // adjust that finds the file writable.
        if (!stream)
            return;
        char text[16];
        wsprintfA(text, "%i", *speed);
        fputs(text, stream);
        fclose(stream);
        return;
    }
}

int32_t LoadSettings(void)
{
    for (const SettingsFile& file : ReadOrder) {
        FILE* stream = fopen(file.Path, "r");
        if (!stream)
            return 0;
        // A file without a number leaves its speed as it was and still counts
        // as read.
        ScanInteger(stream, file.Speed);
        fclose(stream);
    }
    SettingsLoaded = 1;
    return 1;
}
