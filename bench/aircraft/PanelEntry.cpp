// The entry's grammar, as the 1998 simulator takes it: commas between the
// parts, whole numbers of units, a name without .gau. The FILE!GAUGE form and
// a name with .gau belong to later versions and are said as such, so that a
// pilot who copied an entry from one is told what this version wants.
#include "bench/aircraft/PanelEntry.h"

#include "bench/files/Text.h"

#include <vector>

namespace {

const char* const Blanks = " \t";

// One of X, Y, width, height; false, with its problem, when it is not a
// whole number within the units.
bool Units(const std::string& entry, const char* what, const std::string& word, bool size, int* value,
    const std::function<void(const std::string&)>& problem)
{
    if (!ReadWholeNumber(word, value)) {
        // Digits too many to read are a number all the same.
        const size_t digits = word.find_first_not_of("+-") == 1 ? 1 : 0;
        if (word.size() > digits && word.find_first_not_of("0123456789", digits) == std::string::npos &&
            word.find_first_of("+-", digits) == std::string::npos)
            problem(entry + ": " + what + " " + Quoted(word) + (word[0] == '-' ? " is negative" : " is more than " +
                std::to_string(MostPanelUnits) + " units, beyond any window"));
        else
            problem(entry + ": " + what + " " + Quoted(word) + " is not a whole number");
        return false;
    }
    if (*value < 0) {
        problem(entry + ": " + what + " " + word + " is negative: " +
            (size ? "a size is counted in units" : "places are counted from the window's top-left corner"));
        return false;
    }
    if (*value > MostPanelUnits) {
        problem(entry + ": " + what + " " + word + " is more than " + std::to_string(MostPanelUnits) +
            " units, beyond any window");
        return false;
    }
    if (size && *value == 0) {
        problem(entry + ": " + what + " 0 is no size");
        return false;
    }
    return true;
}

} // namespace

std::string GaugeEntryName(const std::string& value)
{
    const size_t comma = value.find(',');
    const std::string name = TrimBlanks(value.substr(0, comma));
    const bool enough = comma != std::string::npos && value.find(',', comma + 1) != std::string::npos;
    return enough ? name : name.substr(0, name.find_first_of(Blanks));
}

std::string WithoutGau(const std::string& file)
{
    const bool gau = file.size() > 4 && LowerCase(file.substr(file.size() - 4)) == ".gau";
    return gau ? file.substr(0, file.size() - 4) : file;
}

PanelGauge ReadGaugeEntry(const std::string& entry, const std::string& value,
    const std::function<void(const std::string&)>& problem)
{
    std::vector<std::string> parts;
    for (size_t at = 0;;) {
        const size_t comma = value.find(',', at);
        parts.push_back(TrimBlanks(value.substr(at, comma == std::string::npos ? std::string::npos : comma - at)));
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    PanelGauge gauge;
    gauge.Name = GaugeEntryName(value);
    bool readable = true;
    if (parts.size() < 3) {
        problem(entry + "=" + Quoted(value) + ": expected NAME, X, Y with commas between them");
        readable = false;
    } else if (parts.size() > 5) {
        problem(entry + "=" + Quoted(value) + ": expected NAME, X, Y and at most a width and height after them");
        readable = false;
    }
    if (gauge.Name.empty()) {
        problem(entry + " names no gauge");
        readable = false;
    }
    if (readable) {
        const char* what[] = {"X", "Y", "the width", "the height"};
        int* into[] = {&gauge.X, &gauge.Y, &gauge.Width, &gauge.Height};
        for (size_t i = 1; i < parts.size(); ++i)
            readable = Units(entry, what[i - 1], parts[i], i >= 3, into[i - 1], problem) && readable;
    }
    const size_t bang = gauge.Name.find('!');
    const std::string file = gauge.Name.substr(0, bang);
    const std::string bare = WithoutGau(file);
    const bool withExtension = bare != file;
    if (bang != std::string::npos)
        problem(entry + " names " + Quoted(gauge.Name) + ": the FILE!GAUGE form is read only by later "
            "versions of the simulator; the 1998 version wants the module's file name without .gau, " +
            Quoted(bare));
    else if (withExtension)
        problem(entry + " names " + Quoted(gauge.Name) + ": an entry names the module's file without .gau, " +
            Quoted(bare));
    gauge.Readable = readable;
    return gauge;
}
