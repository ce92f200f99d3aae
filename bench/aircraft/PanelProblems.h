// What is wrong with an aircraft's panel, as the pilot is told it: each
// problem a line "file:line: what", in the order found. However many a file
// holds (a megabyte of bad lines), only the first MostKept are kept and the
// rest are counted, so that the answer stays short and its memory bounded.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELPROBLEMS_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELPROBLEMS_H

#include <stddef.h>

#include <string>
#include <vector>

class PanelProblems {
public:
    static const size_t MostKept = 40;

    // `line` 0: the problem is the file's as a whole ("file: what").
    void Add(const std::string& file, int line, const std::string& what)
    {
        ++count_;
        if (kept_.size() < MostKept)
            kept_.push_back(file + (line > 0 ? ":" + std::to_string(line) : std::string()) + ": " + what);
    }
    bool Empty() const { return count_ == 0; }
    size_t Count() const { return count_; }
    const std::vector<std::string>& Kept() const { return kept_; }
    // Every kept line, and a last one counting those left out.
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : kept_)
            text += line + "\n";
        if (count_ > kept_.size())
            text += "... and " + std::to_string(count_ - kept_.size()) + " more\n";
        return text;
    }

private:
    std::vector<std::string> kept_;
    size_t count_ = 0;
};

#endif
