// The C library's "%i" scan conversion, by hand: white space, an optional
// sign, then hexadecimal after 0x or 0X, octal after a leading 0, decimal
// otherwise, stopping at the first character that cannot continue the number.
// The gauge reads its settings files with it (settings/SettingsFiles.cpp),
// since the C library's own would pull MinGW's scanf into a DLL without start
// files and its conversion of an out-of-range number is undefined; the bench
// reads the same files with it to know what the gauge read. It takes its
// characters from the caller, so that each caller's way of reading them (the
// gauge's fgetc, the bench's bounded read) is inlined into one loop.
#ifndef LUMIVANE_PLATFORM_SCANINTEGER_H
#define LUMIVANE_PLATFORM_SCANINTEGER_H

#include <stdint.h>

inline bool ScanIsSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The digit's value, or -1 when `c` is no digit of `base` (up to 16).
inline int ScanDigitValue(int c, int base)
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

// One conversion over the characters `next()` gives (an int, EOF at the end),
// which it asks for up to and including the one that ends the number. Returns
// 1 with the value, held at the nearest 32-bit limit when it lies beyond, or
// 0 with `value` untouched when no number could be converted.
template <typename Next>
int32_t ScanIntegerFrom(Next next, int32_t* value)
{
    int c = next();
    while (ScanIsSpace(c))
        c = next();

    bool negative = false;
    if (c == '+' || c == '-') {
        negative = c == '-';
        c = next();
    }

    int base = 10;
    bool anyDigit = false;
    if (c == '0') {
        // The 0 is a digit of its own: "0x" with no hexadecimal digit after
        // it, or a lone 0, still reads as zero.
        anyDigit = true;
        base = 8;
        c = next();
        if (c == 'x' || c == 'X') {
            base = 16;
            c = next();
        }
    }

    // The magnitude stops growing once it is past every 32-bit value, so a
    // long run of digits can neither overflow nor change the clamped result.
    const int64_t beyond = int64_t(INT32_MAX) + 2;
    int64_t magnitude = 0;
    for (int digit; (digit = ScanDigitValue(c, base)) >= 0; c = next()) {
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

#endif
