// strtod and strtol stop at the first character they do not take, a NUL
// inside the word among them: a number is only a number when they took the
// whole word, so "50\0junk" is no 50.
#include "bench/flying/ScenarioText.h"

#include <math.h>
#include <stdlib.h>

bool ScenarioNumber(const std::string& word, double* value)
{
    *value = 0;
    if (word.empty() || word.find_first_of("xXpPnN") != std::string::npos)
        return false; // hexadecimal floats, "nan" and "inf" are not numbers here
    char* end = nullptr;
    double v = strtod(word.c_str(), &end);
    // strtod stops at a NUL inside the word: the whole word must be read.
    if (end != word.c_str() + word.size() || !isfinite(v))
        return false;
    *value = v;
    return true;
}

bool ScenarioWholeNumber(const std::string& word, int* value)
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

