// The text of the files a user hands the bench (scenarios, tracks, an
// aircraft's panel configuration), for every room that reads one: lines
// numbered from 1 as editors number them, numbers read only when they are the
// whole word, and the user's words quoted in messages at a bounded length. A
// line ends at '\n'; a '\r' before it is part of the line, for the reader to
// strip. No line is copied, and nothing here knows what a line means.
#ifndef LUMIVANE_BENCH_FILES_TEXT_H
#define LUMIVANE_BENCH_FILES_TEXT_H

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
std::string Quoted(const std::string& word);

// `text` without the blanks and tabs around it.
std::string TrimBlanks(const std::string& text);

// A decimal number as the user writes one: the whole word, finite, no
// hexadecimal, no NUL inside it.
bool ReadNumber(const std::string& word, double* value);

// A whole number of at most 9 digits and an optional sign, the whole word.
bool ReadWholeNumber(const std::string& word, int* value);

#endif
