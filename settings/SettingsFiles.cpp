// Saving and loading the call-out speeds. The file format is the bare text of
// "%i": no line end, nothing else, so that files written by earlier versions
// and edited by hand keep loading. Nothing here reports a failure: a file that
// will not open is simply tried again later, or not written.
//
// Numbers are formatted with wsprintfA and scanned by hand: the C library's
// printf and scanf family would, in a DLL without start files, pull in MinGW's
// own implementation, and scanf's conversion of an out-of-range number is
// undefined.
#include "settings/SettingsFiles.h"

#include "platform/Platform.h"
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

bool IsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int DigitValue(int c, int base)
{
    int digit = base;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < base ? digit : -1;
}

} // namespace

int32_t ScanInteger(FILE* stream, int32_t* value)
{
    int c = fgetc(stream);
    while (IsSpace(c))
        c = fgetc(stream);

    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = fgetc(stream);
    }

    int base = 10;
    bool anyDigit = false;
    if (c == '0') {
        // The 0 is a digit of its own: "0x" with no hexadecimal digit after
        // it, or a lone 0, still reads as zero.
        anyDigit = true;
        base = 8;
        c = fgetc(stream);
        if (c == 'x' || c == 'X') {
            base = 16;
            c = fgetc(stream);
        }
    }

    // The magnitude stops growing once it is past every 32-bit value, so a
    // long run of digits can neither overflow nor change the clamped result.
    const int64_t beyond = int64_t(INT32_MAX) + 2;
    int64_t magnitude = 0;
    for (int digit; (digit = DigitValue(c, base)) >= 0; c = fgetc(stream)) {
        anyDigit = true;
        if (magnitude < beyond)
            magnitude = magnitude * base + digit;
    }
    if (!anyDigit)
        return 0;

    int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        signedValue = INT32_MAX;
    if (signedValue < INT32_MIN)
        signedValue = INT32_MIN;
    *value = int32_t(signedValue);
    return 1;
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
