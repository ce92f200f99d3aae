// libFuzzer target for the settings reader, ScanInteger: the "%i" conversion
// the gauge runs over whatever bytes a settings file holds, read through a
// stream that holds exactly the input. Each input is also read by a model of
// "%i" written here on its own from the C library's description (white space,
// a sign, 0x or 0X for hexadecimal, a leading 0 for octal, decimal otherwise,
// stopping at the first character that cannot continue), held at the 32-bit
// limits. The two must agree on whether a number was read, on its value, and
// on how far into the stream the reader went: the number and the one
// character that ended it, never beyond. AddressSanitizer and
// UndefinedBehaviorSanitizer watch the rest.
#include "settings/SettingsFiles.h"
#include "fuzz/FuzzPromise.h"

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

namespace {

struct Reading {
    int32_t converted; // 1 when a number was read
    int32_t value;
    size_t consumed; // characters taken from the stream
};

bool IsCSpace(uint8_t c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The digit's value in any base up to 16, or 16 for no digit.
unsigned Digit(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 16;
}

// "%i" over the bytes, by index. The reader takes one character past the
// number (the one that ends it) unless the input ends first.
Reading Model(const uint8_t* in, size_t size)
{
    size_t i = 0;
    while (i < size && IsCSpace(in[i]))
        ++i;
    bool negative = false;
    if (i < size && (in[i] == '+' || in[i] == '-'))
        negative = in[i++] == '-';

    unsigned base = 10;
    size_t first = i; // the first digit of the number proper
    bool zero = false;
    if (i < size && in[i] == '0') {
        zero = true;
        if (i + 1 < size && (in[i + 1] == 'x' || in[i + 1] == 'X')) {
            base = 16;
            first = i + 2;
        } else {
            base = 8;
            first = i + 1;
        }
    }
    size_t end = first;
    // Any magnitude beyond 2^32 saturates the same way, so it stops growing
    // there; 128 bits hold every step without a wrap.
    unsigned __int128 magnitude = 0;
    while (end < size && Digit(in[end]) < base) {
        if (magnitude <= (unsigned __int128)1 << 33)
            magnitude = magnitude * base + Digit(in[end]);
        ++end;
    }
    Reading r = {0, 0, 0};
    // A "0x" without a hexadecimal digit still read its 0, as strtol does.
    r.converted = (end > first || zero) ? 1 : 0;
    r.consumed = end < size ? end + 1 : size;
    if (r.converted) {
        __int128 v = negative ? -(__int128)magnitude : (__int128)magnitude;
        if (v > INT32_MAX)
            v = INT32_MAX;
        if (v < INT32_MIN)
            v = INT32_MIN;
        r.value = int32_t(v);
    }
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // The stream reads the input in place and never writes it.
    FILE* stream = fmemopen(const_cast<uint8_t*>(bytes), size, "r");
    if (!stream)
        return 0;
    const int32_t untouched = 0x5EED5EED;
    int32_t value = untouched;
    const int32_t converted = ScanInteger(stream, &value);
    const long consumed = ftell(stream);
    fclose(stream);

    const Reading expected = Model(bytes, size);
    Require(converted == expected.converted);
    Require(converted ? value == expected.value : value == untouched);
    Require(consumed >= 0 && size_t(consumed) == expected.consumed);
    return 0;
}
