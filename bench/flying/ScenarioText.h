// The text of scenarios and tracks, for their readers alike: lines numbered
// from 1 as editors number them, numbers read whole, and the user's words
// quoted in messages at a bounded length. A line ends at '\n'; a '\r' before
// it is part of the line, for the reader to strip. No line is copied.
#ifndef LUMIVANE_BENCH_FLYING_SCENARIOTEXT_H
#define LUMIVANE_BENCH_FLYING_SCENARIOTEXT_H

#include <stddef.h>

#include <string>

// Calls `line(number, start, length)` for each line of `text` until it
// returns false; returns false then, true at the end.
template <typename Visit>
bool ForEachLine(const std::string& text, Visit line)
{
    size_t at = 0;
    int number = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        if (!line(++number, at, end - at))
            return false;
        at = end + 1;
    }
    return true;
}

// A word of the user's, quoted in a message: cut to a readable length, so
// that a message about a 100 MB line is not 100 MB long, and with control
// bytes written as \xHH, so that a NUL in a word does not end the message
// where it is printed as a C string.
inline std::string Quoted(const std::string& word)
{
    const size_t most = 40;
    std::string shown;
    for (size_t i = 0; i < word.size() && i < most; ++i) {
        const unsigned char c = static_cast<unsigned char>(word[i]);
        if (c < 0x20 || c == 0x7F) {
            const char* hex = "0123456789abcdef";
            shown += std::string("\\x") + hex[c >> 4] + hex[c & 15];
        } else {
            shown.push_back(char(c));
        }
    }
    if (word.size() <= most)
        return "'" + shown + "'";
    return "'" + shown + "...' (" + std::to_string(word.size()) + " characters)";
}

// A decimal number as a scenario or track writes it: the whole word, finite,
// no hexadecimal, no NUL inside it.
bool ScenarioNumber(const std::string& word, double* value);

// A whole number of at most 9 digits and an optional sign, the whole word.
bool ScenarioWholeNumber(const std::string& word, int* value);

#endif
