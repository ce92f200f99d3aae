// Changes to a panel file's text a line at a time, every other byte kept:
// a line added after another, ending as the lines around it end, and lines
// taken out with their line ends. Taking out a line that was added gives back
// the text as it was, byte for byte, a file without a final line end
// included. What a change does is shown as a unified diff, as `diff -u`
// prints it, for a pilot to read before anything is written.
#ifndef LUMIVANE_BENCH_AIRCRAFT_PANELEDIT_H
#define LUMIVANE_BENCH_AIRCRAFT_PANELEDIT_H

#include <string>
#include <vector>

// `text` with `line` (no line end) added after its line `after` (numbered
// from 1). The new line ends as line `after` does; when that line is the
// last and has no line end, it is given the file's first line end (CR LF in
// a file that has none) and the new line is left without one, as the last
// line was.
std::string WithLineAdded(const std::string& text, int after, const std::string& line);

// `text` without its lines `lines` (numbered from 1, in any order). When the
// last line goes and had no line end, the line then last loses its own
// (unless it is blank), so that taking out an added line undoes
// WithLineAdded.
std::string WithLinesTakenOut(const std::string& text, const std::vector<int>& lines);

// The unified diff of `before` and `after`, a change made by the two above,
// with three lines of context and `name` on both headers; empty when they
// are the same.
std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& name);

#endif
