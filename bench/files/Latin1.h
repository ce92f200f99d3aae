// Bytes a gauge wrote into a host's text buffer, made into text a JSON line
// can hold: each byte is taken as Latin-1, so that whatever the gauge wrote
// stays valid UTF-8 and nothing is dropped or replaced. Written once for
// every record of a pass (bench/recording/EventLog, bench/lumivane).
#ifndef LUMIVANE_BENCH_FILES_LATIN1_H
#define LUMIVANE_BENCH_FILES_LATIN1_H

#include <string>

inline std::string Latin1ToUtf8(const std::string& bytes)
{
    std::string utf8;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            utf8.push_back(char(c));
        } else {
            utf8.push_back(char(0xC0 | c >> 6));
            utf8.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

#endif
