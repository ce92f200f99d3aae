// strtod and strtol stop at the first character they do not take, a NUL
// inside the word among them: a number is only a number when they took the
// whole word, so "50\0junk" is no 50.
#include "bench/files/Text.h"

#include <math.h>
#include <stdlib.h>

std::string Quoted(const std::string& word)
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

bool ReadNumber(const std::string& word, double* value)
{
    *value = 0;
    if (word.empty() || word.find_first_of("xXpPnN") != std::string::npos)
        return false; // hexadecimal floats, "nan" and "inf" are not numbers here
    char* end = nullptr;
    double v = strtod(word.c_str(), &end);
    if (end != word.c_str() + word.size() || !isfinite(v))
        return false;
    *value = v;
    return true;
}

bool ReadWholeNumber(const std::string& word, int* value)
{
    *value = 0;
    if (word.empty() || word.size() > 9)
        return false;
    char* end = nullptr;
    long v = strtol(word.c_str(), &end, 10);
    if (end != word.c_str() + word.size())
        return false;
    *value = int(v);
    return true;
}

std::string TrimBlanks(const std::string& text)
{
    const char* const blanks = " \t";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}
