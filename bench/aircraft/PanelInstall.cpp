// The order of the steps is the promise: everything that can refuse (the
// panel's problems, the place, the Gauges folder, another module of the same
// name) is settled before anything is written; then the backup, then the
// module, then Panel.cfg, whose replacing is the one step that makes the
// change. A step that fails takes back what the steps before it wrote of
// this run (the backups, and the module, which goes back to what Gauges
// held), so that Gauges too is as it was; only a module that could not be
// put back stays, and that is said. Backups are made new, never over an earlier one, and are named after
// the module ("Panel.cfg.NAME-1.bak", NAME its entry name in lower case), as
// is the file the new bytes are written into first ("Panel.cfg.NAME-writing").
#include "bench/aircraft/PanelInstall.h"

#include "bench/aircraft/PanelEdit.h"
#include "bench/aircraft/PanelFolders.h"
#include "bench/files/FileReplace.h"
#include "bench/files/Files.h"
#include "bench/files/Text.h"

#include <algorithm>

namespace {

// However many backups a file has, the search for a free number ends.
const int MostBackups = 1000;
const int Refused = 2, Unwritten = 1;

struct Installer {
    const InstallRequest& request;
    InstallResult* out;
    std::string word;    // the module's name in lower case, for our files' names
    std::string backup;  // Panel.cfg's backup made by this run

    void Say(const std::string& line) { out->Said.push_back(line); }

    void Fail(int status, const std::string& why)
    {
        out->Status = status;
        out->Errors.push_back(why);
    }

    std::string Writing(const std::string& path) const { return path + "." + word + "-writing"; }

    // A new backup of `bytes` beside `path`; its name, or empty with `problem`.
    std::string Backup(const std::string& path, const std::string& bytes, std::string* problem)
    {
        for (int n = 1; n <= MostBackups; ++n) {
            const std::string name = path + "." + word + "-" + std::to_string(n) + ".bak";
            bool existed = false;
            if (CreateFileWhole(name, bytes, Writing(path), &existed, problem))
                return name;
            if (!existed)
                return std::string();
        }
        *problem = path + " has " + std::to_string(MostBackups) + " backups already";
        return std::string();
    }

    // The panel's own problems, listed; false when there are any.
    bool ReadClean(const PanelFindings& findings)
    {
        if (findings.TextProblems == 0)
            return true;
        const std::vector<std::string>& kept = findings.Problems.Kept();
        for (size_t i = 0; i < kept.size() && i < findings.TextProblems; ++i)
            out->Errors.push_back(kept[i]);
        if (findings.TextProblems > kept.size())
            out->Errors.push_back("... and " + std::to_string(findings.TextProblems - kept.size()) + " more");
        Fail(Refused, "nothing was changed: " + std::string(findings.Unread ? "the panel could not be read"
                : "the problems above make the entry's place uncertain; mend them, and run this again"));
        return false;
    }

    // The module's first readable entry, or null.
    const PanelGauge* Entry(const PanelFindings& findings, const PanelWindow** in) const
    {
        for (const PanelWindow& window : findings.Config.Windows)
            for (const PanelGauge& gauge : window.Gauges)
                if (gauge.Readable && NamesModule(request.Gauge, gauge.Name)) {
                    *in = &window;
                    return &gauge;
                }
        return nullptr;
    }

    // Where the line goes: the window's number, its line, and the line itself.
    bool Choose(const PanelFindings& findings, int* after, std::string* line, int* chosen)
    {
        const int number = request.Window >= 0 ? request.Window : findings.Place.Window;
        if (number < 0) {
            Fail(Refused, "nothing was changed: no window of " + request.PanelFile + " is shown with a bitmap that "
                "reads, so there is no place for the gauge" + (findings.Problems.Empty() ? "" : " (the problems are "
                "above)"));
            return false;
        }
        CheckedWindow checked;
        EntryPlace place;
        std::string problem;
        if (!PlaceInWindow(findings, number, &checked, &place, &problem)) {
            Fail(Refused, "nothing was changed: " + problem);
            return false;
        }
        // A window the simulator never shows is a problem of the text, and
        // refused with them.
        const PanelWindow& window = checked.Window;
        const std::string section = WindowSection(number);
        const std::string bitmap = std::to_string(checked.Background.Width) + " x " +
            std::to_string(checked.Background.Height);
        if (request.AtGiven) {
            PanelGauge entry;
            entry.X = request.X;
            entry.Y = request.Y;
            const PixelBox box = PlaceEntry(checked, request.Gauge, entry).Box;
            if (box.Right > checked.Background.Width || box.Bottom > checked.Background.Height) {
                Fail(Refused, "nothing was changed: at " + std::to_string(request.X) + ", " +
                    std::to_string(request.Y) + " the gauge would reach to pixel " + std::to_string(box.Right) +
                    ", " + std::to_string(box.Bottom) + ", beyond " + section + "'s bitmap of " + bitmap);
                return false;
            }
            place.X = request.X;
            place.Y = request.Y;
        } else if (!place.Fits) {
            Fail(Refused, "nothing was changed: the gauge is larger than " + section + "'s bitmap of " + bitmap);
            return false;
        } else if (!place.Clear) {
            Fail(Refused, "nothing was changed: no place in " + section + "'s bitmap of " + bitmap + " keeps clear "
                "of every other gauge; choose one with --at X,Y");
            return false;
        }
        *after = window.Gauges.empty() ? std::max(window.LastLine, window.SectionLine) : window.Gauges.back().Line;
        *line = ModuleEntry(request.Gauge, place.Number, place.X, place.Y);
        *chosen = number;
        return true;
    }

    // The module to copy, and whether Gauges needs it: false when the
    // install cannot go on.
    bool ModuleToCopy(const std::string& gauges, std::string* bytes, std::string* there, std::string* old,
        bool* copy)
    {
        *copy = false;
        std::string problem;
        if (!ReadWholeFile(request.Module, bytes, &problem)) {
            Fail(Unwritten, "nothing was changed: the module to install cannot be read: " + problem);
            return false;
        }
        *there = FindInFolder(gauges, request.Gauge.File);
        if (there->empty()) {
            *there = JoinPath(gauges, request.Gauge.File);
            *copy = true;
            return true;
        }
        if (!ReadWholeFile(*there, old, &problem)) {
            Fail(Unwritten, "nothing was changed: " + problem);
            return false;
        }
        if (*old == *bytes)
            return true;
        if (!request.Replace) {
            Fail(Refused, "nothing was changed: " + *there + " is another module than " + request.Module +
                " (another build, or another gauge of that name); --replace puts this one in its place and keeps "
                "that one beside it as a backup");
            return false;
        }
        *copy = true;
        return true;
    }

    // The module this run put into Gauges taken back out, when Panel.cfg
    // could not be changed: a new one removed, a replaced one given back its
    // old bytes, and its backup removed once it is not needed. False when
    // Gauges could not be put back as it was.
    bool TakeBackModule(const std::string& there, const std::string& module, const std::string& old,
        const std::string& kept)
    {
        std::string problem;
        if (kept.empty())
            return RemoveFile(there);
        if (!ReplaceFileWhole(there, module, old, Writing(there), &problem))
            return false;
        RemoveFile(kept);
        return true;
    }

    // Panel.cfg replaced by `after`, and its backup named; when it cannot
    // be, the backup goes, and a module copied for the entry goes back out.
    bool Write(const PanelFindings& before, const std::string& after, const std::string& copied = std::string(),
        const std::string& module = std::string(), const std::string& old = std::string(),
        const std::string& kept = std::string())
    {
        std::string problem;
        if (!ReplaceFileWhole(request.PanelFile, before.Text, after, Writing(request.PanelFile), &problem)) {
            RemoveFile(backup);
            const bool putBack = copied.empty() || TakeBackModule(copied, module, old, kept);
            Fail(Unwritten, request.PanelFile + " was not changed: " + problem +
                (putBack ? std::string() : " (the module was copied all the same: " + copied + ")"));
            return false;
        }
        Say("Backup of the panel as it was: " + backup);
        return true;
    }

    void Install()
    {
        PanelFindings before;
        CheckPanel(request.PanelFile, request.GaugesFolder, request.Gauge, &before);
        if (!ReadClean(before))
            return;
        const PanelWindow* in = nullptr;
        const PanelGauge* entry = Entry(before, &in);
        int after = 0;
        std::string line;
        int window = -1;
        if (!entry && !Choose(before, &after, &line, &window))
            return;
        const std::string text = entry ? before.Text : WithLineAdded(before.Text, after, line);
        PanelFindings planned;
        CheckPanelText(request.PanelFile, text, request.GaugesFolder, request.Gauge, &planned);
        const PanelWindow* found = nullptr;
        const PanelGauge* placed = Entry(planned, &found);
        if (!placed || planned.TextProblems || (!entry && (placed->Line != after + 1 || found->Number !=
            window))) {
            Fail(Unwritten, "nothing was changed: the new line would not be read where it was put");
            return;
        }
        const std::string where = WindowSection(found->Number) + " " + Quoted(found->Title);
        if (entry)
            Say(EntryName(request.Gauge) + " is already in " + WindowSection(in->Number) + " at line " +
                std::to_string(entry->Line) + " of " + request.PanelFile + ": the file is left as it is");
        const std::string gauges = before.GaugesFolder;
        if (request.DryRun) {
            out->Diff = UnifiedDiff(before.Text, text, request.PanelFile);
            if (!entry)
                Say("Would add line " + std::to_string(placed->Line) + " to " + where + ": " + line);
            if (before.Module.empty())
                Say("Would copy " + request.Module + " into " + gauges);
            Say("Nothing was written (a dry run)");
            out->Findings = std::move(planned);
            if (out->Findings.Module.empty())
                out->Findings.Module = request.Module;
            out->Draw = true;
            return;
        }
        if (!IsFolder(gauges)) {
            Fail(Unwritten, "nothing was changed: there is no folder " + gauges + " (the simulator's Gauges folder, "
                "looked for three folders above Panel.cfg); name it with --gauges");
            return;
        }
        std::string module, there, old;
        bool copy = false;
        if (!ModuleToCopy(gauges, &module, &there, &old, &copy))
            return;
        // What a run that was killed left of ours goes first.
        RemoveFile(Writing(request.PanelFile));
        RemoveFile(Writing(there));
        std::string problem;
        if (!entry) {
            backup = Backup(request.PanelFile, before.Text, &problem);
            if (backup.empty()) {
                Fail(Unwritten, "nothing was changed: no backup of " + request.PanelFile + " could be kept: " +
                    problem);
                return;
            }
        }
        std::string copied, kept;
        if (copy) {
            bool existed = false;
            const bool done = old.empty()
                ? CreateFileWhole(there, module, Writing(there), &existed, &problem)
                : !(kept = Backup(there, old, &problem)).empty() &&
                    ReplaceFileWhole(there, old, module, Writing(there), &problem);
            if (!done) {
                RemoveFile(backup);
                if (!kept.empty())
                    RemoveFile(kept);
                Fail(Unwritten, "nothing was changed: " + request.Module + " cannot be copied into " + gauges +
                    ": " + problem);
                return;
            }
            copied = there;
            Say("Copied " + request.Module + " to " + there);
            if (!kept.empty())
                Say("The module that was there is kept as " + kept);
        } else {
            Say(there + " is this module already");
        }
        if (!entry && !Write(before, text, copied, module, old, kept))
            return;
        PanelFindings now;
        CheckPanel(request.PanelFile, request.GaugesFolder, request.Gauge, &now);
        placed = Entry(now, &found);
        if (!placed || (!entry && placed->Line != after + 1)) {
            Fail(Unwritten, request.PanelFile + " does not read back with the new line in it");
            return;
        }
        if (!entry)
            Say("Installed: line " + std::to_string(placed->Line) + " of " + request.PanelFile + " in " +
                WindowSection(found->Number) + " " + Quoted(found->Title) + ": " + line);
        out->Findings = std::move(now);
        out->Draw = true;
    }

    void Uninstall()
    {
        PanelFindings before;
        CheckPanel(request.PanelFile, request.GaugesFolder, request.Gauge, &before);
        if (before.Unread) {
            out->Errors = before.Problems.Kept();
            Fail(Refused, "nothing was changed: the panel could not be read");
            return;
        }
        std::vector<int> lines;
        for (const PanelEntryLine& line : before.Config.EntryLines)
            if (NamesModule(request.Gauge, line.Name))
                lines.push_back(line.Line);
        if (lines.empty()) {
            Say("No line of " + request.PanelFile + " names " + EntryName(request.Gauge) +
                ": the file is left as it is");
            return;
        }
        const std::string text = WithLinesTakenOut(before.Text, lines);
        std::vector<std::string> taken;
        ForEachLine(before.Text, [&](int number, size_t at, size_t length) {
            if (std::find(lines.begin(), lines.end(), number) != lines.end()) {
                std::string written = before.Text.substr(at, length);
                if (!written.empty() && written.back() == '\r')
                    written.pop_back();
                taken.push_back("line " + std::to_string(number) + ", " + Quoted(written));
            }
            return true;
        });
        if (request.DryRun) {
            out->Diff = UnifiedDiff(before.Text, text, request.PanelFile);
            for (const std::string& line : taken)
                Say("Would take out " + line);
            Say("Nothing was written (a dry run)");
            return;
        }
        RemoveFile(Writing(request.PanelFile));
        std::string problem;
        backup = Backup(request.PanelFile, before.Text, &problem);
        if (backup.empty()) {
            Fail(Unwritten, "nothing was changed: no backup of " + request.PanelFile + " could be kept: " + problem);
            return;
        }
        if (!Write(before, text))
            return;
        PanelFindings now;
        CheckPanel(request.PanelFile, request.GaugesFolder, request.Gauge, &now);
        for (const PanelEntryLine& line : now.Config.EntryLines)
            if (NamesModule(request.Gauge, line.Name)) {
                Fail(Unwritten, request.PanelFile + " still names " + EntryName(request.Gauge) + " at line " +
                    std::to_string(line.Line) + " when read back");
                return;
            }
        for (const std::string& line : taken)
            Say("Taken out of " + request.PanelFile + ": " + line);
        Say(request.Gauge.File + " stays in " + before.GaugesFolder + ", since another aircraft may use it; "
            "delete it by hand when none does");
    }
};

} // namespace

void InstallGauge(const InstallRequest& request, InstallResult* out)
{
    *out = InstallResult();
    Installer installer{request, out, LowerCase(EntryName(request.Gauge)), std::string()};
    if (request.Uninstall)
        installer.Uninstall();
    else
        installer.Install();
}
