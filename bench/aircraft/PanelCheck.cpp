// A gauge's place in units becomes pixels of its window's bitmap by the
// bitmap's width over size_mm, rounded at each edge, so that gauges side by
// side in units stay side by side in pixels. A gauge whose entry gives no
// size is the size it is made at: the module's is the size its caller gives,
// and another's is not known, so it is marked by its corner alone; a width
// without a height keeps the gauge's own proportions.
#include "bench/aircraft/PanelCheck.h"

#include "bench/aircraft/BitmapFile.h"
#include "bench/aircraft/PanelFolders.h"
#include "bench/files/Files.h"
#include "bench/files/Text.h"

#include <math.h>
#include <stdio.h>

#include <algorithm>

namespace {

// Places tried for a new entry, in units: every this many across and down.
const int PlaceStep = 10;

int Rounded(double value)
{
    return int(floor(value + 0.5));
}

// The entry's box in units: its size as given, or the module's own.
void UnitBox(const PanelGauge& entry, const GaugeModule* module, int* width, int* height)
{
    const int ownWidth = module ? module->Width : 0, ownHeight = module ? module->Height : 0;
    *width = entry.Width ? entry.Width : ownWidth;
    if (entry.Height || !module || ownWidth <= 0)
        *height = entry.Height;
    else
        *height = entry.Width ? Rounded(entry.Width * double(ownHeight) / ownWidth) : ownHeight;
}

PlacedGauge Place(const PanelGauge& entry, const GaugeModule* module, double pixelsPerUnit)
{
    int width, height;
    UnitBox(entry, module, &width, &height);
    PlacedGauge placed;
    placed.Entry = entry;
    placed.SizeKnown = width > 0 && height > 0;
    placed.Box = {Rounded(entry.X * pixelsPerUnit), Rounded(entry.Y * pixelsPerUnit),
        Rounded((entry.X + width) * pixelsPerUnit), Rounded((entry.Y + height) * pixelsPerUnit)};
    return placed;
}

// Whether the module, at x, y in units, keeps clear of every entry: inside
// the bitmap, no other gauge's box overlapping it, where a gauge whose size
// is not given is taken to be as large as the module.
bool Free(const CheckedWindow& checked, const GaugeModule& module, int x, int y)
{
    PanelGauge ours;
    ours.X = x;
    ours.Y = y;
    const PixelBox box = Place(ours, &module, checked.PixelsPerUnit).Box;
    if (box.Right > checked.Background.Width || box.Bottom > checked.Background.Height)
        return false;
    for (const PlacedGauge& other : checked.Others) {
        PixelBox taken = other.Box;
        if (!other.SizeKnown) {
            PanelGauge corner = other.Entry;
            corner.Width = corner.Height = 0;
            taken = Place(corner, &module, checked.PixelsPerUnit).Box;
        }
        if (taken.Left < box.Right && box.Left < taken.Right && taken.Top < box.Bottom && box.Top < taken.Bottom)
            return false;
    }
    return true;
}

EntryPlace FreePlace(const CheckedWindow& checked, const GaugeModule& module)
{
    EntryPlace place;
    place.Window = checked.Window.Number;
    place.Number = NextGaugeNumber(checked.Window);
    const PixelBox size = Place(PanelGauge(), &module, checked.PixelsPerUnit).Box;
    place.Fits = size.Right <= checked.Background.Width && size.Bottom <= checked.Background.Height;
    // At most a hundred places each way, however many units across.
    const int across = int(checked.Background.Width / checked.PixelsPerUnit);
    const int down = int(checked.Background.Height / checked.PixelsPerUnit);
    const int step = std::max(PlaceStep, std::max(across, down) / 100);
    for (int top = 0; !place.Clear && top <= down; top += step)
        for (int left = 0; !place.Clear && left <= across; left += step)
            if (Free(checked, module, left, top)) {
                place.X = left;
                place.Y = top;
                place.Clear = true;
            }
    return place;
}

struct Checker {
    const std::string& panelFile;
    const GaugeModule& module;
    PanelProblems* problems;
    std::string folder; // the panel's, where its bitmaps are

    void Problem(int line, const std::string& what) { problems->Add(panelFile, line, what); }

    // The window's bitmap, read; false with its problem told.
    bool ReadBitmap(const PanelWindow& window, CheckedWindow* checked)
    {
        checked->Window = window;
        if (window.File.empty())
            return false; // told by the reader
        checked->Bitmap = FindInFolder(folder, window.File);
        std::string why;
        if (checked->Bitmap.empty()) {
            Problem(window.FileLine, "the bitmap " + Quoted(window.File) + " of " + WindowSection(window.Number) +
                " is not in the panel's folder, " +
                (folder.empty() ? std::string("the current folder") : folder));
            return false;
        }
        if (!ReadBitmapFile(checked->Bitmap, &checked->Background, &why)) {
            Problem(window.FileLine, "the bitmap " + checked->Bitmap + " of " + WindowSection(window.Number) + " " +
                why);
            return false;
        }
        checked->PixelsPerUnit = window.SizeUnits ? double(checked->Background.Width) / window.SizeUnits : 1.0;
        for (const PanelGauge& gauge : window.Gauges)
            if (gauge.Readable) {
                const bool ours = NamesModule(module, gauge.Name);
                (ours ? checked->Entries : checked->Others)
                    .push_back(Place(gauge, ours ? &module : nullptr, checked->PixelsPerUnit));
            }
        return true;
    }
};

struct PanelChecker : Checker {
    PanelFindings* out;

    void CheckEntry(const CheckedWindow& checked, const PlacedGauge& placed)
    {
        const PanelGauge& entry = placed.Entry;
        const Image& bitmap = checked.Background;
        const PixelBox& box = placed.Box;
        const std::string where = WindowSection(checked.Window.Number);
        if (box.Right > bitmap.Width || box.Bottom > bitmap.Height) {
            Problem(entry.Line, EntryName(module) + " at " + std::to_string(entry.X) + ", " + std::to_string(entry.Y) +
                " does not lie inside " + where + "'s bitmap of " + std::to_string(bitmap.Width) + " x " +
                std::to_string(bitmap.Height) + " pixels: it would reach to pixel " + std::to_string(box.Right) + ", " +
                std::to_string(box.Bottom));
            return;
        }
        // What is wrong with the window or the name is told already.
        if (!checked.Window.Shown || LowerCase(entry.Name) != LowerCase(EntryName(module)))
            return;
        std::string scale;
        if (checked.PixelsPerUnit != 1.0) {
            char text[96];
            snprintf(text, sizeof text, " (size_mm %d across %d pixels: %.3g pixels a unit)", checked.Window.SizeUnits,
                bitmap.Width, checked.PixelsPerUnit);
            scale = text;
        }
        out->Checked.push_back(panelFile + ":" + std::to_string(entry.Line) + ": " + GaugeKey(entry.Number) + "=" +
            entry.Name + " in " + where + " " + Quoted(checked.Window.Title) + ", a window the simulator shows: " +
            std::to_string(box.Right - box.Left) + " x " + std::to_string(box.Bottom - box.Top) + " pixels at " +
            std::to_string(box.Left) + ", " + std::to_string(box.Top) + ", inside its bitmap " + checked.Bitmap +
            " of " + std::to_string(bitmap.Width) + " x " + std::to_string(bitmap.Height) + scale);
    }

    // An entry for the module in a window the simulator never shows.
    void Unshown(const PanelWindow& window, const PanelGauge& entry)
    {
        Problem(entry.Line, EntryName(module) + "'s entry is in " + WindowSection(window.Number) +
            ", which the simulator never shows: " +
            (window.TitleLine
                    ? "it comes after a gap in [Window Titles] (line " + std::to_string(window.TitleLine) + ")"
                    : std::string("it is not listed in [Window Titles]")));
    }

    // With no entry for the module: the first window shown whose bitmap
    // reads, the first free place in it, and the line with the window's
    // next free number.
    void Suggest(const std::vector<const PanelGauge*>& unreadable)
    {
        const std::string name = EntryName(module);
        for (const PanelWindow& window : out->Config.Windows) {
            if (!window.Shown)
                continue;
            CheckedWindow checked;
            if (!ReadBitmap(window, &checked))
                continue;
            const EntryPlace place = FreePlace(checked, module);
            out->Place = place;
            const std::string section = WindowSection(window.Number);
            std::string text = "No entry of " + panelFile + " shows " + name;
            for (const PanelGauge* entry : unreadable)
                text += " (line " + std::to_string(entry->Line) + " names it, but cannot be read)";
            text += ". It would go in " + section + " " + Quoted(window.Title) + ", whose next free gauge number is " +
                std::to_string(place.Number) + ". Add this line to " + section + ":\n";
            text += "    " + ModuleEntry(module, place.Number, place.X, place.Y) + "\n";
            const PixelBox size = Place(PanelGauge(), &module, checked.PixelsPerUnit).Box;
            const std::string bitmap = std::to_string(checked.Background.Width) + " x " +
                std::to_string(checked.Background.Height);
            if (!place.Fits)
                text += "The gauge, " + std::to_string(size.Right) + " x " + std::to_string(size.Bottom) +
                    " pixels here, is larger than the window's bitmap, " + bitmap + ": 0, 0 is its top-left corner.\n";
            else if (!place.Clear)
                text += "No place in its " + bitmap + " bitmap keeps clear of every other gauge: 0, 0 is its "
                    "top-left corner; X, Y is where the gauge's top-left corner goes, in the window's units.\n";
            else
                text += "At " + std::to_string(place.X) + ", " + std::to_string(place.Y) + " (X, Y: the gauge's "
                    "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n";
            out->Suggestion = text;
            return;
        }
        out->Suggestion = "No entry of " + panelFile + " shows " + name + ", and no window of it is shown with a "
            "bitmap that reads, so there is no place to suggest (the problems are above).\n";
    }

    void Check()
    {
        std::vector<const PanelGauge*> unreadable;
        bool any = false;
        int firstLine = 0;
        for (const PanelWindow& window : out->Config.Windows) {
            bool holds = false;
            for (const PanelGauge& gauge : window.Gauges) {
                if (!NamesModule(module, gauge.Name))
                    continue;
                if (!gauge.Readable) {
                    unreadable.push_back(&gauge);
                    continue;
                }
                holds = any = true;
                firstLine = firstLine ? firstLine : gauge.Line;
                if (!window.Shown)
                    Unshown(window, gauge);
            }
            if (!holds)
                continue;
            CheckedWindow checked;
            if (!ReadBitmap(window, &checked))
                continue;
            for (const PlacedGauge& placed : checked.Entries)
                CheckEntry(checked, placed);
            out->Windows.push_back(std::move(checked));
        }
        out->Module = FindInFolder(out->GaugesFolder, module.File);
        if (!any) {
            Suggest(unreadable);
            return;
        }
        if (out->Module.empty())
            Problem(firstLine, module.File + " is not in " + out->GaugesFolder +
                ": copy it there under that name (or name the folder that holds it with --gauges)");
        else
            out->Checked.push_back(module.File + ": " + out->Module);
    }
};

void Start(const std::string& panelFile, const std::string& gaugesFolder, const GaugeModule& gauge,
    PanelFindings* out)
{
    *out = PanelFindings();
    out->Gauge = gauge;
    out->GaugesFolder = gaugesFolder.empty() ? ImpliedGaugesFolder(panelFile) : gaugesFolder;
}

void Finish(const std::string& panelFile, PanelFindings* out)
{
    out->TextProblems = out->Problems.Count();
    PanelChecker checker{{panelFile, out->Gauge, &out->Problems, FolderOf(panelFile)}, out};
    checker.Check();
}

} // namespace

void CheckPanel(const std::string& panelFile, const std::string& gaugesFolder, const GaugeModule& gauge,
    PanelFindings* out)
{
    Start(panelFile, gaugesFolder, gauge, out);
    if (!LoadPanelConfig(panelFile, &out->Config, &out->Problems, &out->Text)) {
        out->Unread = true;
        out->TextProblems = out->Problems.Count();
        return;
    }
    Finish(panelFile, out);
}

void CheckPanelText(const std::string& panelFile, const std::string& text, const std::string& gaugesFolder,
    const GaugeModule& gauge, PanelFindings* out)
{
    Start(panelFile, gaugesFolder, gauge, out);
    out->Text = text;
    ReadPanelConfig(text, panelFile, &out->Config, &out->Problems);
    Finish(panelFile, out);
}

bool PlaceInWindow(const PanelFindings& findings, int number, CheckedWindow* window, EntryPlace* place,
    std::string* problem)
{
    *window = CheckedWindow();
    *place = EntryPlace();
    problem->clear();
    const std::string& path = findings.Config.Path;
    for (const PanelWindow& candidate : findings.Config.Windows) {
        if (candidate.Number != number)
            continue;
        if (!candidate.SectionLine) {
            *problem = path + " has no " + WindowSection(number) + " section";
            return false;
        }
        PanelProblems told;
        Checker checker{path, findings.Gauge, &told, FolderOf(path)};
        if (!checker.ReadBitmap(candidate, window)) {
            *problem = told.Empty() ? path + ": " + WindowSection(number) + " names no bitmap" : told.Kept().front();
            return false;
        }
        *place = FreePlace(*window, findings.Gauge);
        return true;
    }
    *problem = path + " has no " + WindowSection(number) + " section";
    return false;
}

PlacedGauge PlaceEntry(const CheckedWindow& window, const GaugeModule& gauge, const PanelGauge& entry)
{
    return Place(entry, &gauge, window.PixelsPerUnit);
}
