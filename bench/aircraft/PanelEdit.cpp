// A line is its bytes up to and with its '\n', as the panel reader numbers
// lines, so that a line's end travels with it and CR LF, LF and a mix of
// them are all kept as they are. The diff is made for changes of this
// file's kind, a line added or a few taken out: past the lines both texts
// share at their start and end, the shorter middle is matched into the
// longer one in order, and a middle that does not fit (a last line that
// changed its end) is shown taken out and added again, as `diff -u` shows it.
#include "bench/aircraft/PanelEdit.h"

#include <stddef.h>

#include <algorithm>
#include <set>

namespace {

const size_t ContextLines = 3;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find('\n', at);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(at, next - at));
        at = next;
    }
    return lines;
}

// The line end `line` has, "" for none.
std::string EndOf(const std::string& line)
{
    if (line.empty() || line.back() != '\n')
        return std::string();
    return line.size() >= 2 && line[line.size() - 2] == '\r' ? "\r\n" : "\n";
}

// A step of the diff: ' ' both, '-' before only, '+' after only, with the
// line's index in its text.
struct Step {
    char Kind;
    size_t Before, After;
};

std::vector<Step> Steps(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const size_t endBefore = before.size() - tail, endAfter = after.size() - tail;
    std::vector<Step> steps;
    for (size_t i = 0; i < head; ++i)
        steps.push_back({' ', i, i});
    // The shorter middle matched into the longer, in order.
    const bool shrinks = endBefore - head >= endAfter - head;
    const std::vector<std::string>& longer = shrinks ? before : after;
    const std::vector<std::string>& shorter = shrinks ? after : before;
    const size_t longEnd = shrinks ? endBefore : endAfter, shortEnd = shrinks ? endAfter : endBefore;
    std::vector<Step> middle;
    size_t s = head;
    for (size_t l = head; l < longEnd; ++l) {
        if (s < shortEnd && longer[l] == shorter[s]) {
            middle.push_back({' ', shrinks ? l : s, shrinks ? s : l});
            ++s;
        } else {
            middle.push_back(shrinks ? Step{'-', l, s} : Step{'+', s, l});
        }
    }
    if (s == shortEnd) {
        steps.insert(steps.end(), middle.begin(), middle.end());
    } else {
        for (size_t i = head; i < endBefore; ++i)
            steps.push_back({'-', i, head});
        for (size_t i = head; i < endAfter; ++i)
            steps.push_back({'+', endBefore, i});
    }
    for (size_t i = 0; i < tail; ++i)
        steps.push_back({' ', endBefore + i, endAfter + i});
    return steps;
}

// "a,b" of a hunk's header: its first line and count, the line before it
// when it has none, and no count when it is one.
std::string Range(size_t first, size_t count)
{
    const size_t start = count == 0 ? first : first + 1;
    return std::to_string(start) + (count == 1 ? std::string() : "," + std::to_string(count));
}

std::string Shown(char kind, const std::string& line)
{
    const std::string end = EndOf(line);
    std::string text = kind + line.substr(0, line.size() - end.size()) + "\n";
    if (end.empty())
        text += "\\ No newline at end of file\n";
    return text;
}

} // namespace

std::string WithLineAdded(const std::string& text, int after, const std::string& line)
{
    std::vector<std::string> lines = Lines(text);
    const size_t at = std::min(size_t(std::max(after, 0)), lines.size());
    std::string end = at > 0 ? EndOf(lines[at - 1]) : std::string();
    if (at > 0 && end.empty()) {
        // The last line, without an end: it takes the file's, and the new
        // line is left without one in its place.
        // A last line that ends in a lone CR takes CR LF whatever the file's
        // ends are, so that the end it is given is the one taken away again.
        const size_t first = text.find('\n');
        const bool lf = first != std::string::npos && !(first > 0 && text[first - 1] == '\r');
        end = lf && lines[at - 1].back() != '\r' ? "\n" : "\r\n";
        lines[at - 1] += end;
        end.clear();
    } else if (at == 0) {
        end = lines.empty() ? std::string() : EndOf(lines.front());
        if (!lines.empty() && end.empty())
            end = "\r\n";
    }
    lines.insert(lines.begin() + long(at), line + end);
    std::string out;
    for (const std::string& each : lines)
        out += each;
    return out;
}

std::string WithLinesTakenOut(const std::string& text, const std::vector<int>& numbers)
{
    const std::vector<std::string> lines = Lines(text);
    const std::set<int> out(numbers.begin(), numbers.end());
    std::vector<std::string> kept;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!out.count(int(i) + 1))
            kept.push_back(lines[i]);
    // A blank line keeps its end: without it, it would be no line at all.
    if (!lines.empty() && out.count(int(lines.size())) && EndOf(lines.back()).empty() && !kept.empty() &&
        kept.back().size() > EndOf(kept.back()).size())
        kept.back().resize(kept.back().size() - EndOf(kept.back()).size());
    std::string result;
    for (const std::string& line : kept)
        result += line;
    return result;
}

std::string UnifiedDiff(const std::string& before, const std::string& after, const std::string& name)
{
    if (before == after)
        return std::string();
    const std::vector<std::string> old = Lines(before), now = Lines(after);
    const std::vector<Step> steps = Steps(old, now);
    std::string diff = "--- " + name + "\n+++ " + name + "\n";
    for (size_t i = 0; i < steps.size();) {
        if (steps[i].Kind == ' ') {
            ++i;
            continue;
        }
        // A hunk: context before, the changes and the context between
        // them while it is short, and context after.
        size_t first = i >= ContextLines ? i - ContextLines : 0;
        size_t last = i;
        for (size_t j = i; j < steps.size(); ++j) {
            if (steps[j].Kind != ' ')
                last = j;
            else if (j - last > 2 * ContextLines)
                break;
        }
        const size_t end = std::min(steps.size(), last + 1 + ContextLines);
        size_t oldCount = 0, newCount = 0;
        for (size_t j = first; j < end; ++j) {
            oldCount += steps[j].Kind != '+';
            newCount += steps[j].Kind != '-';
        }
        diff += "@@ -" + Range(steps[first].Before, oldCount) + " +" + Range(steps[first].After, newCount) + " @@\n";
        for (size_t j = first; j < end; ++j)
            diff += Shown(steps[j].Kind, steps[j].Kind == '+' ? now[steps[j].After] : old[steps[j].Before]);
        i = end;
    }
    return diff;
}
