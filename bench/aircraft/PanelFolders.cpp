// Looking a name up in a folder reads the folder's entries, so that the name
// found is spelled as the file system spells it in both builds; a folder of
// hundreds of thousands of files is looked through only so far, so that a
// pilot's mistake in --gauges (a whole drive) ends quickly in "not found".
#include "bench/aircraft/PanelFolders.h"

#include "bench/aircraft/PanelConfig.h"
#include "bench/files/Files.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const int MostEntriesLooked = 100000;

// One part of a path in `folder`, as the file system spells it; empty when
// it is not there.
std::string FindPart(const std::string& folder, const std::string& part)
{
    std::error_code failure;
    fs::directory_iterator entries(folder.empty() ? std::string(".") : folder, failure);
    std::string blind;
    int looked = 0;
    for (; !failure && entries != fs::directory_iterator() && looked < MostEntriesLooked;
         entries.increment(failure), ++looked) {
        const std::string name = entries->path().filename().string();
        if (name == part)
            return JoinPath(folder, name);
        if (blind.empty() && LowerCase(name) == LowerCase(part))
            blind = JoinPath(folder, name);
    }
    if (!blind.empty())
        return blind;
    // A folder that cannot be listed may still be passed through.
    const std::string exact = JoinPath(folder, part);
    return fs::exists(exact, failure) ? exact : std::string();
}

} // namespace

std::string FindInFolder(const std::string& folder, const std::string& name)
{
    std::string found = folder;
    size_t at = 0;
    while (at <= name.size()) {
        size_t end = name.find_first_of("\\/", at);
        if (end == std::string::npos)
            end = name.size();
        const std::string part = name.substr(at, end - at);
        if (!part.empty() && part != ".") {
            found = part == ".." ? JoinPath(found, part) : FindPart(found, part);
            if (found.empty())
                return found;
        }
        at = end + 1;
    }
    return found == folder ? std::string() : found;
}

std::string ImpliedGaugesFolder(const std::string& panelFile)
{
    // Panel.cfg -> Panel -> the aircraft -> Aircraft -> the simulator.
    fs::path above = fs::path(AbsolutePath(panelFile));
    for (int i = 0; i < 4; ++i)
        above = above.parent_path();
    const std::string simulator = above.string();
    const std::string found = FindInFolder(simulator, "Gauges");
    return found.empty() ? JoinPath(simulator, "Gauges") : found;
}
