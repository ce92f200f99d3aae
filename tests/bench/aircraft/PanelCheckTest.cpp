// An aircraft's panel read and checked, one row a panel: its Panel.cfg (or
// what lies in its place), the bitmaps and module beside it, and what the
// bench finds: every gauge entry as read, each problem with its file, line
// and what is wrong, and what it suggests when Lumivane has no entry. The
// hostile rows are here too: files missing, folders, 64 MB, bitmaps that are
// none, cut short or huge, and every way an entry or section goes wrong.
// Paths in what is said are shown from the panel's folder and the Gauges
// folder, so that a row reads the same in both builds. And a press on the
// picture of a window reaches the gauge's pixel it shows, at any scale.
// Each panel of a second table is installed into, read back, shown as a
// diff, and taken out again to the byte, whatever its line ends, comments,
// case and blanks; and each way an install must refuse leaves the panel and
// the Gauges folder as they were, with nothing of ours beside them.
#include "bench/aircraft/PanelCheck.h"
#include "bench/aircraft/PanelInstall.h"
#include "bench/aircraft/WindowPicture.h"
#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneFacts.h"

#include "tests/bench/flying/BenchPaths.h"

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

// An uncompressed bitmap file of 256 colours, one colour a row band.
std::string Bitmap(int width, int height, int bits = 8)
{
    const int stride = (width * bits / 8 + 3) / 4 * 4;
    const int colours = bits == 8 ? 256 : 0;
    std::string info(40, '\0'), table(size_t(colours) * 4, '\0');
    auto put = [](std::string& s, size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            s[at + size_t(i)] = char(v >> (8 * i));
    };
    put(info, 0, 40, 4);
    put(info, 4, uint32_t(width), 4);
    put(info, 8, uint32_t(height), 4);
    put(info, 12, 1, 2);
    put(info, 14, uint32_t(bits), 2);
    for (int i = 0; i < colours; ++i)
        table[size_t(i) * 4 + 2] = char(i); // red rises with the index
    std::string rows(size_t(stride) * size_t(height > 0 ? height : 0), '\0');
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bits / 8; ++x)
            rows[size_t(y) * size_t(stride) + size_t(x)] = char(y / 10);
    std::string header(14, '\0');
    header[0] = 'B';
    header[1] = 'M';
    put(header, 2, uint32_t(14 + info.size() + table.size() + rows.size()), 4);
    put(header, 10, uint32_t(14 + info.size() + table.size()), 4);
    return header + info + table + rows;
}

// The gauge the rows check for, as the bench describes it.
GaugeModule Lumivane()
{
    GaugeModule gauge;
    gauge.File = ModuleFileName;
    gauge.Width = PanelWidth;
    gauge.Height = PanelHeight;
    return gauge;
}

// What a row's file holds besides plain bytes.
const char Folder[] = "<folder>";
const char Huge[] = "<64 MB>";
const char Absent[] = "<absent>";

void Make(const std::string& path, const std::string& bytes)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::remove_all(path, failure);
    if (bytes == Absent)
        return;
    if (bytes == Folder) {
        ASSERT_TRUE(MakeFolders(path)) << path;
        return;
    }
    ASSERT_TRUE(WriteWholeFile(path, bytes == Huge ? std::string() : bytes)) << path;
    if (bytes == Huge)
        fs::resize_file(path, MostFileBytes, failure); // sparse: nothing is written
    ASSERT_FALSE(failure) << path;
}

// The usual test window, its one gauge beside Lumivane; rows change it.
const char Usual[] = "[Window Titles]\r\nwindow00=Main Panel\r\n\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
                     "gauge00=Test.Clock, 20, 120\r\ngauge01=Lumivane, 200, 110\r\n";

struct Row {
    const char* what;
    std::string config;
    std::vector<std::pair<std::string, std::string>> files; // beside Panel.cfg, over the usual Main.bmp
    bool module;                                            // Lumivane.gau in Gauges
    std::string entries;  // every gauge entry read: "W00 g01 Lumivane 200,110" (",40x30" with a size; "?" unreadable)
    std::vector<std::string> problems;
    std::string said;     // what checked out, then the suggestion
};

std::string Entries(const PanelConfig& config)
{
    std::string text;
    for (const PanelWindow& window : config.Windows)
        for (const PanelGauge& gauge : window.Gauges) {
            char numbers[32];
            snprintf(numbers, sizeof numbers, "W%02d g%02d ", window.Number, gauge.Number);
            text += (text.empty() ? "" : "; ") + std::string(numbers) + gauge.Name + " ";
            if (!gauge.Readable) {
                text += "?";
                continue;
            }
            text += std::to_string(gauge.X) + "," + std::to_string(gauge.Y);
            if (gauge.Width)
                text += "," + std::to_string(gauge.Width) + "x" + std::to_string(gauge.Height);
        }
    return text;
}

// `text` with the row's panel folder written PANEL/ and its Gauges folder
// GAUGES, so that a row reads the same in both builds.
std::string Shown(std::string text, const std::string& panel, const std::string& gauges)
{
    const std::pair<std::string, std::string> paths[] = {
        {JoinPath(panel, ""), "PANEL/"}, {JoinPath(gauges, ""), "GAUGES/"}, {gauges, "GAUGES"}};
    for (const auto& path : paths)
        for (size_t at = text.find(path.first); at != std::string::npos; at = text.find(path.first, at))
            text.replace(at, path.first.size(), path.second);
    return text;
}

// A row's simulator folder, made anew: an aircraft's panel folder with the
// usual Main.bmp, and an empty Gauges folder.
void Aircraft(const std::string& table, int row, std::string* panel, std::string* gauges, std::string* config)
{
    const std::string simulator = JoinPath(JoinPath(OutFolder(table), "row" + std::to_string(row)), "FS98");
    *gauges = JoinPath(simulator, "Gauges");
    *panel = JoinPath(JoinPath(JoinPath(simulator, "Aircraft"), "Plane"), "Panel");
    *config = JoinPath(*panel, "Panel.cfg");
    std::error_code failure;
    std::filesystem::remove_all(simulator, failure);
    ASSERT_TRUE(MakeFolders(*panel) && MakeFolders(*gauges)) << *panel;
    Make(JoinPath(*panel, "Main.bmp"), Bitmap(320, 200));
}

TEST(PanelCheck, EachPanelIsReadWithItsEntriesAndProblems)
{
    // A thousand lines that each repeat gauge00: only the first problems are
    // kept, and the rest counted.
    std::string many = std::string(Usual) + "[Window01]\r\ngauge00=Test.Clock, 0, 0\r\n";
    std::vector<std::string> manyProblems;
    for (int line = 11; line < 1011; ++line) {
        many += "gauge00=Lumivane, 0, 0\r\n";
        if (manyProblems.size() < PanelProblems::MostKept)
            manyProblems.push_back("PANEL/Panel.cfg:" + std::to_string(line) +
                ": gauge00 again in [Window01]: the first, on line 10, is the one read");
    }
    // With the window's own three: not listed, no file=, no size_mm=.
    manyProblems.push_back("... and " + std::to_string(1000 - PanelProblems::MostKept + 3) + " more");
    const Row rows[] = {
        {"the usual panel", Usual, {}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {},
         "PANEL/Panel.cfg:8: gauge01=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
          "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"lower case, LF, comments, blanks, a size", "; a pilot's notes\n[window titles]\nWINDOW00 = Main Panel // "
          "the main one\n\n[WINDOW00]\nFILE = Main.bmp\nSize_MM=320\ngauge00 = Lumivane ,10,  20 , 150 ; larger\n"
          "gauge01=Test.Dial,200,20,60,60\n", {}, true,
         "W00 g00 Lumivane 10,20,150x0; W00 g01 Test.Dial 200,20,60x60",
         {},
         "PANEL/Panel.cfg:8: gauge00=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 150 x 105 "
          "pixels at 10, 20, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"no entry for Lumivane", "[Window Titles]\nwindow00=Main Panel\nwindow01=Radio\n[Window00]\nfile=Main.bmp\n"
          "size_mm=320\ngauge00=Test.Clock, 0, 0\ngauge01=Test.Dial, 100, 0, 120, 100\n[Window01]\nfile=Main.bmp\n"
          "size_mm=320\n", {}, false,
         "W00 g00 Test.Clock 0,0; W00 g01 Test.Dial 100,0,120x100",
         {},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 2. Add this line to [Window00]:\n    gauge02=Lumivane, 220, 0\nAt 220, 0 (X, Y: the gauge's "
          "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n"},
        {"no entry, in units of two pixels", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\n"
          "size_mm=160\ngauge00=Test.Clock, 0, 0\n", {}, true,
         "W00 g00 Test.Clock 0,0",
         {},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 1. Add this line to [Window00]:\n    gauge01=Lumivane, 0, 0\nNo place in its 320 x 200 bitmap "
          "keeps clear of every other gauge: 0, 0 is its top-left corner; X, Y is where the gauge's top-left corner "
          "goes, in the window's units.\n"},
        {"no free place", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Small.bmp\nsize_mm=90\n",
         {{"Small.bmp", Bitmap(90, 60)}}, true,
         "",
         {},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 0. Add this line to [Window00]:\n    gauge00=Lumivane, 0, 0\nThe gauge, 100 x 70 pixels here, "
          "is larger than the window's bitmap, 90 x 60: 0, 0 is its top-left corner.\n"},
        {"no Panel.cfg", Absent, {}, true,
         "",
         {"PANEL/Panel.cfg: cannot read the panel configuration: PANEL/Panel.cfg does not exist"},
         ""},
        {"Panel.cfg a folder", Folder, {}, true,
         "",
         {"PANEL/Panel.cfg: cannot read the panel configuration: PANEL/Panel.cfg is a folder, not a file"},
         ""},
        {"Panel.cfg of 64 MB", Huge, {}, true,
         "",
         {"PANEL/Panel.cfg: cannot read the panel configuration: PANEL/Panel.cfg is 64 MB, more than the 1 MB the "
           "bench reads"},
         ""},
        {"no bitmap", Usual, {{"Main.bmp", Absent}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap 'Main.bmp' of [Window00] is not in the panel's folder, PANEL/"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap that is a folder", Usual, {{"Main.bmp", Folder}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] cannot be read: PANEL/Main.bmp is a folder, "
           "not a file"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap that is text", Usual, {{"Main.bmp", "not a picture"}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] is not a bitmap: it does not begin with BM"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap cut short in its header", Usual, {{"Main.bmp", Bitmap(320, 200).substr(0, 30)}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] is cut short: 30 bytes, fewer than its two "
           "headers"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap cut short in its rows", Usual, {{"Main.bmp", Bitmap(320, 200).substr(0, 20000)}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] is cut short: after its file header it needs "
           "65064 bytes, has 19986"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap 5000 pixels across", Usual, {{"Main.bmp", [] { std::string b = Bitmap(8, 2); b[18] = char(0x88);
          b[19] = char(0x13); return b; }()}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] is 5000 x 2 pixels, not from 1 to 4096 each way"
           },
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap of 24 bits", Usual, {{"Main.bmp", Bitmap(320, 200, 24)}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] is not a bitmap the bench reads (256 colours, "
           "uncompressed): not one plane of 8 bits a pixel, uncompressed (24 bits, compression 0)"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap of 64 MB", Usual, {{"Main.bmp", Huge}}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:5: the bitmap PANEL/Main.bmp of [Window00] cannot be read: PANEL/Main.bmp is 64 MB, more "
           "than the 17 MB the bench reads"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"no module", Usual, {}, false,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:8: Lumivane.gau is not in GAUGES: copy it there under that name (or name the folder that "
           "holds it with --gauges)"},
         "PANEL/Panel.cfg:8: gauge01=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
          "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\n"},
        {"an entry without commas", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane 200 110\n", {}, true,
         "W00 g00 Lumivane ?",
         {"PANEL/Panel.cfg:6: gauge00='Lumivane 200 110': expected NAME, X, Y with commas between them"},
         "No entry of PANEL/Panel.cfg shows Lumivane (line 6 names it, but cannot be read). It would go in "
          "[Window00] 'Main Panel', whose next free gauge number is 1. Add this line to [Window00]:\n    "
          "gauge01=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's top-left corner, in the window's units) it keeps clear "
          "of every other gauge's place.\n"},
        {"numbers that are not", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane, left, 1.5\ngauge01=Test.Dial, 0x10, 20, wide\n", {}, true,
         "W00 g00 Lumivane ?; W00 g01 Test.Dial ?",
         {"PANEL/Panel.cfg:6: gauge00: X 'left' is not a whole number",
          "PANEL/Panel.cfg:6: gauge00: Y '1.5' is not a whole number",
          "PANEL/Panel.cfg:7: gauge01: X '0x10' is not a whole number",
          "PANEL/Panel.cfg:7: gauge01: the width 'wide' is not a whole number"},
         "No entry of PANEL/Panel.cfg shows Lumivane (line 6 names it, but cannot be read). It would go in "
          "[Window00] 'Main Panel', whose next free gauge number is 2. Add this line to [Window00]:\n    "
          "gauge02=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's top-left corner, in the window's units) it keeps clear "
          "of every other gauge's place.\n"},
        {"negative and huge places", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane, -5, 99999\ngauge01=Test.Dial, 10, 20, 0, -3\ngauge02=Test.Far, 1000000000, 0\n", {},
          true,
         "W00 g00 Lumivane ?; W00 g01 Test.Dial ?; W00 g02 Test.Far ?",
         {"PANEL/Panel.cfg:6: gauge00: X -5 is negative: places are counted from the window's top-left corner",
          "PANEL/Panel.cfg:6: gauge00: Y 99999 is more than 32767 units, beyond any window",
          "PANEL/Panel.cfg:7: gauge01: the width 0 is no size",
          "PANEL/Panel.cfg:7: gauge01: the height -3 is negative: a size is counted in units",
          "PANEL/Panel.cfg:8: gauge02: X '1000000000' is more than 32767 units, beyond any window"},
         "No entry of PANEL/Panel.cfg shows Lumivane (line 6 names it, but cannot be read). It would go in "
          "[Window00] 'Main Panel', whose next free gauge number is 3. Add this line to [Window00]:\n    "
          "gauge03=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's top-left corner, in the window's units) it keeps clear "
          "of every other gauge's place.\n"},
        {"too many or no name", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane, 1, 2, 3, 4, 5\ngauge01=, 10, 20\n", {}, true,
         "W00 g00 Lumivane ?; W00 g01  ?",
         {"PANEL/Panel.cfg:6: gauge00='Lumivane, 1, 2, 3, 4, 5': expected NAME, X, Y and at most a width and height "
           "after them",
          "PANEL/Panel.cfg:7: gauge01 names no gauge"},
         "No entry of PANEL/Panel.cfg shows Lumivane (line 6 names it, but cannot be read). It would go in "
          "[Window00] 'Main Panel', whose next free gauge number is 2. Add this line to [Window00]:\n    "
          "gauge02=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's top-left corner, in the window's units) it keeps clear "
          "of every other gauge's place.\n"},
        {"Lumivane past the bitmap", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane, 250, 150\n", {}, true,
         "W00 g00 Lumivane 250,150",
         {"PANEL/Panel.cfg:6: Lumivane at 250, 150 does not lie inside [Window00]'s bitmap of 320 x 200 pixels: it "
           "would reach to pixel 350, 220"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"Lumivane scaled past the bitmap", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\n"
          "size_mm=160\ngauge00=Lumivane, 10, 40\n", {}, true,
         "W00 g00 Lumivane 10,40",
         {"PANEL/Panel.cfg:6: Lumivane at 10, 40 does not lie inside [Window00]'s bitmap of 320 x 200 pixels: it "
           "would reach to pixel 220, 220"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"duplicate gauge numbers", std::string(Usual) + "gauge01=Lumivane, 0, 0\ngauge00=Test.Other, 1, 1\n", {},
          true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110",
         {"PANEL/Panel.cfg:9: gauge01 again in [Window00]: the first, on line 8, is the one read",
          "PANEL/Panel.cfg:10: gauge00 again in [Window00]: the first, on line 7, is the one read"},
         "PANEL/Panel.cfg:8: gauge01=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
          "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a gap in the gauge numbers", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\n"
          "size_mm=320\ngauge00=Test.Clock, 0, 0\ngauge02=Lumivane, 200, 110\ngauge05=Test.Far, 0, 100\n", {}, true,
         "W00 g00 Test.Clock 0,0; W00 g02 Lumivane 200,110; W00 g05 Test.Far 0,100",
         {"PANEL/Panel.cfg:7: gauge02 and any after it may never be shown: gauge01 is missing, and gauges, like "
           "windows, are read up to the first missing number"},
         "PANEL/Panel.cfg:7: gauge02=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
          "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a gap in the window titles", "[Window Titles]\nwindow00=Main Panel\nwindow02=Radio\nwindow03=Map\n"
          "[Window00]\nfile=Main.bmp\nsize_mm=320\n[Window02]\nfile=Main.bmp\nsize_mm=320\ngauge00=Lumivane, 0, 0\n"
          "[Window03]\nfile=Main.bmp\nsize_mm=320\n", {}, true,
         "W02 g00 Lumivane 0,0",
         {"PANEL/Panel.cfg:3: window02 and every window after it are never shown: window01 is not listed, and "
           "windows are shown from window00 up to the first missing number",
          "PANEL/Panel.cfg:11: Lumivane's entry is in [Window02], which the simulator never shows: it comes after a "
           "gap in [Window Titles] (line 3)"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"entries outside every window", "gauge00=Lumivane, 0, 0\n[Window Titles]\nwindow00=Main Panel\n"
          "gauge01=Lumivane, 0, 0\n[Window00]\nfile=Main.bmp\nsize_mm=320\n[Default View]\ngauge02=Test.Clock, 0, 0\n"
          "X_SIZE_SCREEN=8192\n", {}, true,
         "",
         {"PANEL/Panel.cfg:1: gauge00= is outside every window (before any section): a gauge's line belongs in its "
           "window's [WindowNN] section",
          "PANEL/Panel.cfg:4: gauge01= is outside every window (in [Window Titles]): a gauge's line belongs in its "
           "window's [WindowNN] section",
          "PANEL/Panel.cfg:9: gauge02= is outside every window (in [Default View]): a gauge's line belongs in its "
           "window's [WindowNN] section"},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 0. Add this line to [Window00]:\n    gauge00=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's "
          "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n"},
        {"bytes that are not ASCII", "[Window Titles]\nwindow00=Tableau de bord \xE9tendu\n[Window00]\n"
          "file=Main.bmp\nsize_mm=320\ngauge00=Lumivane, 200, 110" + std::string(1, '\0') + "\n// \x80\x81\n", {},
          true,
         "W00 g00 Lumivane ?",
         {"PANEL/Panel.cfg:2: byte 0xE9 in column 26 is not ASCII text (a panel file is plain ASCII)",
          "PANEL/Panel.cfg:6: byte 0x00 in column 27 is not ASCII text (a panel file is plain ASCII)",
          "PANEL/Panel.cfg:6: gauge00: Y '110\\x00' is not a whole number",
          "PANEL/Panel.cfg:7: byte 0x80 in column 4 is not ASCII text (a panel file is plain ASCII)"},
         "No entry of PANEL/Panel.cfg shows Lumivane (line 6 names it, but cannot be read). It would go in "
          "[Window00] 'Tableau de bord \xE9" "tendu', whose next free gauge number is 1. Add this line to "
          "[Window00]:\n    gauge01=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's top-left corner, in the window's "
          "units) it keeps clear of every other gauge's place.\n"},
        {"a window unlisted, a title without a window", "[Window Titles]\nwindow00=Main Panel\nwindow01=Radio\n"
          "[Window00]\nfile=Main.bmp\nsize_mm=320\n[Window04]\nfile=Main.bmp\nsize_mm=320\ngauge00=Lumivane, 0, 0\n",
          {}, true,
         "W04 g00 Lumivane 0,0",
         {"PANEL/Panel.cfg:3: window01 is listed, but there is no [Window01] section",
          "PANEL/Panel.cfg:7: [Window04] is not listed in [Window Titles], so it is never shown",
          "PANEL/Panel.cfg:10: Lumivane's entry is in [Window04], which the simulator never shows: it is not listed "
           "in [Window Titles]"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"the later versions' forms", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Lumivane!Lumivane, 0, 0\ngauge01=Lumivane.gau, 150, 0\ngauge02=Test!Clock, 0, 100\n", {}, true,
         "W00 g00 Lumivane!Lumivane 0,0; W00 g01 Lumivane.gau 150,0; W00 g02 Test!Clock 0,100",
         {"PANEL/Panel.cfg:6: gauge00 names 'Lumivane!Lumivane': the FILE!GAUGE form is read only by later versions "
           "of the simulator; the 1998 version wants the module's file name without .gau, 'Lumivane'",
          "PANEL/Panel.cfg:7: gauge01 names 'Lumivane.gau': an entry names the module's file without .gau, 'Lumivane'"
           ,
          "PANEL/Panel.cfg:8: gauge02 names 'Test!Clock': the FILE!GAUGE form is read only by later versions of the "
           "simulator; the 1998 version wants the module's file name without .gau, 'Test'"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"numbers written otherwise", "[Window Titles]\nwindow0=Main Panel\nwindow00=Main Panel\nwindows=Radio\n"
          "[Window0]\nfile=Main.bmp\n[Window00]\nfile=Main.bmp\nsize_mm=320\ngauge1=Lumivane, 0, 0\n"
          "gauge001=Lumivane, 0, 0\n", {}, true,
         "",
         {"PANEL/Panel.cfg:2: 'window0' is not read: windows are numbered with two digits, as in window07",
          "PANEL/Panel.cfg:4: 'windows' is not a windowNN= line",
          "PANEL/Panel.cfg:5: '[Window0]' is not read: windows are numbered with two digits, as in [Window07]",
          "PANEL/Panel.cfg:10: 'gauge1' is not read: gauges are numbered with two digits, as in gauge07",
          "PANEL/Panel.cfg:11: 'gauge001' is not read: gauges are numbered with two digits, as in gauge07"},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 0. Add this line to [Window00]:\n    gauge00=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's "
          "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n"},
        {"sections and keys wrongly written", "[Window Titles\nwindow00=Main Panel\n[Window Titles] extra\n"
          "window00=Main Panel\njust words\n[Window00]\nfile=Main.bmp\nfile=Other.bmp\nsize_mm=wide\nposition=9\n"
          "visible=2\nwindow_size_ratio=0\n[Window Titles]\nwindow01=Radio\n", {}, true,
         "",
         {"PANEL/Panel.cfg:1: the section name '[Window Titles' has no closing ']'",
          "PANEL/Panel.cfg:3: unexpected 'extra' after the section name",
          "PANEL/Panel.cfg:5: expected KEY=VALUE, found 'just words'",
          "PANEL/Panel.cfg:8: file= again in [Window00]: the first, on line 7, is the one read",
          "PANEL/Panel.cfg:9: size_mm= wants the window's width in its own units, a whole number from 1 to 32767, "
           "not 'wide'",
          "PANEL/Panel.cfg:10: position= wants a place on the screen from 0 to 8, not '9'",
          "PANEL/Panel.cfg:11: visible= wants 0 or 1, not '2'",
          "PANEL/Panel.cfg:12: window_size_ratio= wants a number above 0, not '0'",
          "PANEL/Panel.cfg:13: [Window Titles] again: the first, on line 3, is the one read"},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
          "number is 0. Add this line to [Window00]:\n    gauge00=Lumivane, 0, 0\nAt 0, 0 (X, Y: the gauge's "
          "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n"},
        {"a window without file= or size_mm=", "[Window Titles]\nwindow00=Main Panel\n[Window00]\ngauge00=Lumivane, "
          "0, 0\n", {}, true,
         "W00 g00 Lumivane 0,0",
         {"PANEL/Panel.cfg:3: [Window00] has no file= naming its background bitmap",
          "PANEL/Panel.cfg:3: [Window00] has no size_mm=, its width in its own units"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"no [Window Titles]", "[Window00]\nfile=Main.bmp\nsize_mm=320\ngauge00=Lumivane, 0, 0\n", {}, true,
         "W00 g00 Lumivane 0,0",
         {"PANEL/Panel.cfg: there is no [Window Titles] section, so the simulator shows no window",
          "PANEL/Panel.cfg:4: Lumivane's entry is in [Window00], which the simulator never shows: it is not listed "
           "in [Window Titles]"},
         "Lumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a thousand bad lines", many, {}, true,
         "W00 g00 Test.Clock 20,120; W00 g01 Lumivane 200,110; W01 g00 Test.Clock 0,0",
         manyProblems,
         "PANEL/Panel.cfg:8: gauge01=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
         "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"long names", "[Window Titles]\nwindow00=Main Panel\ngauge" + std::string(100, '0') + "=Lumivane, 0, 0\n[" +
             std::string(200, 'W') + "]\n[" + std::string(200, 'W') + "]\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
             "gauge00=" + std::string(300, 'L') + ", 0, 0\n",
         {}, true,
         "W00 g00 " + std::string(300, 'L') + " 0,0",
         {"PANEL/Panel.cfg:3: 'gauge" + std::string(35, '0') + "...' (105 characters)= is outside every window (in "
          "[Window Titles]): a gauge's line belongs in its window's [WindowNN] section",
          "PANEL/Panel.cfg:5: ['" + std::string(40, 'W') + "...' (200 characters)] again: the first, on line 4, is "
          "the one read"},
         "No entry of PANEL/Panel.cfg shows Lumivane. It would go in [Window00] 'Main Panel', whose next free gauge "
         "number is 1. Add this line to [Window00]:\n    gauge01=Lumivane, 100, 0\nAt 100, 0 (X, Y: the gauge's "
         "top-left corner, in the window's units) it keeps clear of every other gauge's place.\n"},
        {"Lumivane in units of two pixels", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\n"
          "size_mm=160\ngauge00=Lumivane, 10, 20\n", {}, true,
         "W00 g00 Lumivane 10,20",
         {},
         "PANEL/Panel.cfg:6: gauge00=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 200 x 140 "
          "pixels at 20, 40, inside its bitmap PANEL/Main.bmp of 320 x 200 (size_mm 160 across 320 pixels: 2 pixels "
          "a unit)\nLumivane.gau: GAUGES/Lumivane.gau\n"},
        {"a bitmap in another case", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=MAIN.BMP\nsize_mm=320\n"
          "gauge00=Lumivane, 200, 110\n", {}, true,
         "W00 g00 Lumivane 200,110",
         {},
         "PANEL/Panel.cfg:6: gauge00=Lumivane in [Window00] 'Main Panel', a window the simulator shows: 100 x 70 "
          "pixels at 200, 110, inside its bitmap PANEL/Main.bmp of 320 x 200\nLumivane.gau: GAUGES/Lumivane.gau\n"},
    };
    int index = 0;
    for (const Row& row : rows) {
        std::string panel, gauges, config;
        Aircraft("panel-check", index++, &panel, &gauges, &config);
        for (const auto& file : row.files)
            Make(JoinPath(panel, file.first), file.second);
        Make(config, row.config);
        if (row.module)
            Make(JoinPath(gauges, "Lumivane.gau"), "MZ");

        PanelFindings findings;
        CheckPanel(config, std::string(), Lumivane(), &findings);
        std::vector<std::string> problems;
        for (const std::string& problem : findings.Problems.Kept())
            problems.push_back(Shown(problem, panel, gauges));
        const size_t left = findings.Problems.Count() - findings.Problems.Kept().size();
        if (left)
            problems.push_back("... and " + std::to_string(left) + " more");
        std::string said;
        for (const std::string& line : findings.Checked)
            said += line + "\n";
        said = Shown(said + findings.Suggestion, panel, gauges);
        EXPECT_EQ(Entries(findings.Config), row.entries) << row.what;
        EXPECT_EQ(problems, row.problems) << row.what;
        EXPECT_EQ(said, row.said) << row.what;
    }
}

// The names in a folder, sorted.
std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code failure;
    for (const auto& entry : std::filesystem::directory_iterator(folder, failure))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const std::string& path)
{
    std::string bytes, problem;
    return ReadWholeFile(path, &bytes, &problem) ? bytes : "<" + problem + ">";
}

const char Module[] = "MZ: the module to install";

struct Installed {
    InstallResult result;
    std::string said, errors; // a line each, paths shown as PANEL/ and GAUGES
};

Installed RunInstall(InstallRequest request, const std::string& panel, const std::string& gauges, bool uninstall,
    bool dryRun)
{
    request.Uninstall = uninstall;
    request.DryRun = dryRun;
    Installed run;
    InstallGauge(request, &run.result);
    for (const std::string& line : run.result.Said)
        run.said += Shown(line, panel, gauges) + "\n";
    for (const std::string& line : run.result.Errors)
        run.errors += Shown(line, panel, gauges) + "\n";
    return run;
}

TEST(PanelInstall, EachPanelIsInstalledReadBackAndTakenOutToTheByte)
{
    const char CrLf[] = "[Window Titles]\r\nwindow00=Main Panel\r\n\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
                        "gauge00=Test.Clock, 20, 120\r\n\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n";
    const char TwoWindows[] = "[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n\r\n[Window00]\r\n"
                              "file=Main.bmp\r\nsize_mm=320\r\ngauge00=Test.Clock, 20, 120\r\n\r\n[Window01]\r\n"
                              "file=Main.bmp\r\nsize_mm=160\r\ngauge00=Test.Radio, 0, 0, 40, 20\r\n\r\n"
                              "[Default View]\r\nX_SIZE_SCREEN=8192\r\n";
    struct InstallRow {
        const char* what;
        std::string config;
        int window; // --in-window, or -1
        int x, y;   // --at, or -1
        std::string installed;
        std::string said;     // the line the install ends with
        std::string diff;     // the dry run's, when the row shows it
        std::string takenOut; // the file after --uninstall, when it is not the original
    };
    const InstallRow rows[] = {
        {"CR LF", CrLf, -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\n\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
          "gauge00=Test.Clock, 20, 120\r\ngauge01=Lumivane, 0, 0\r\n\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n",
         "Installed: line 8 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0",
         "--- PANEL/Panel.cfg\n+++ PANEL/Panel.cfg\n@@ -5,6 +5,7 @@\n file=Main.bmp\n size_mm=320\n gauge00=Test.Clock, "
          "20, 120\n+gauge01=Lumivane, 0, 0\n \n [Default View]\n X_SIZE_SCREEN=8192\n",
         ""},
        {"LF", "[Window Titles]\nwindow00=Main Panel\n\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Test.Clock, 20, 120\n\n[Default View]\nX_SIZE_SCREEN=8192\n", -1, -1, -1,
         "[Window Titles]\nwindow00=Main Panel\n\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Test.Clock, 20, 120\ngauge01=Lumivane, 0, 0\n\n[Default View]\nX_SIZE_SCREEN=8192\n",
         "Installed: line 8 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"a mix, the line after an LF", "[Window Titles]\r\nwindow00=Main Panel\n[Window00]\r\nfile=Main.bmp\n"
          "size_mm=320\r\ngauge00=Test.Clock, 20, 120\n[Default View]\r\n", -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\n[Window00]\r\nfile=Main.bmp\nsize_mm=320\r\n"
          "gauge00=Test.Clock, 20, 120\ngauge01=Lumivane, 0, 0\n[Default View]\r\n",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"no final line end", "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\n"
          "size_mm=320\r\ngauge00=Test.Clock, 20, 120", -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
          "gauge00=Test.Clock, 20, 120\r\ngauge01=Lumivane, 0, 0",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0",
         "--- PANEL/Panel.cfg\n+++ PANEL/Panel.cfg\n@@ -3,4 +3,5 @@\n [Window00]\n file=Main.bmp\n size_mm=320\n"
          "-gauge00=Test.Clock, 20, 120\n\\ No newline at end of file\n+gauge00=Test.Clock, 20, 120\n"
          "+gauge01=Lumivane, 0, 0\n\\ No newline at end of file\n",
         ""},
        {"no final line end, LF", "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Test.Clock, 20, 120", -1, -1, -1,
         "[Window Titles]\nwindow00=Main Panel\n[Window00]\nfile=Main.bmp\nsize_mm=320\n"
          "gauge00=Test.Clock, 20, 120\ngauge01=Lumivane, 0, 0",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"// and ; comments", "// a pilot's panel\r\n; made by hand\r\n[Window Titles]\r\nwindow00=Main Panel // the "
          "main one\r\n[Window00] ; the main panel\r\nfile=Main.bmp\r\nsize_mm=320\r\ngauge00=Test.Clock, 20, 120 "
          "// the clock\r\n; the radios go in window01, some day\r\n", -1, -1, -1,
         "// a pilot's panel\r\n; made by hand\r\n[Window Titles]\r\nwindow00=Main Panel // the main one\r\n"
          "[Window00] ; the main panel\r\nfile=Main.bmp\r\nsize_mm=320\r\ngauge00=Test.Clock, 20, 120 // the clock"
          "\r\ngauge01=Lumivane, 0, 0\r\n; the radios go in window01, some day\r\n",
         "Installed: line 9 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"keys in capitals", "[WINDOW TITLES]\r\nWINDOW00=Main Panel\r\n[WINDOW00]\r\nFILE=Main.bmp\r\nSIZE_MM=320\r\n"
          "GAUGE00=Test.Clock, 20, 120\r\n", -1, -1, -1,
         "[WINDOW TITLES]\r\nWINDOW00=Main Panel\r\n[WINDOW00]\r\nFILE=Main.bmp\r\nSIZE_MM=320\r\n"
          "GAUGE00=Test.Clock, 20, 120\r\ngauge01=Lumivane, 0, 0\r\n",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"tabs and trailing spaces", "[Window Titles]  \r\nwindow00\t=\tMain Panel\t\r\n[Window00]\t\r\n"
          "file = Main.bmp \r\nsize_mm=\t320\r\ngauge00 =\tTest.Clock ,\t20 , 120  \r\n", -1, -1, -1,
         "[Window Titles]  \r\nwindow00\t=\tMain Panel\t\r\n[Window00]\t\r\nfile = Main.bmp \r\nsize_mm=\t320\r\n"
          "gauge00 =\tTest.Clock ,\t20 , 120  \r\ngauge01=Lumivane, 0, 0\r\n",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"a window with no gauges", "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\n"
          "size_mm=320\r\n\r\n// the view\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n", -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
          "gauge00=Lumivane, 0, 0\r\n\r\n// the view\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n",
         "Installed: line 6 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge00=Lumivane, 0, 0", "", ""},
        {"other keys between the gauges", "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\n"
          "gauge00=Test.Clock, 20, 120\r\nfile=Main.bmp\r\ngauge01=Test.Dial, 0, 0, 60, 60\r\nsize_mm=320\r\n"
          "position=7\r\n", -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\ngauge00=Test.Clock, 20, 120\r\nfile=Main.bmp\r\n"
          "gauge01=Test.Dial, 0, 0, 60, 60\r\ngauge02=Lumivane, 60, 0\r\nsize_mm=320\r\nposition=7\r\n",
         "Installed: line 7 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge02=Lumivane, 60, 0", "", ""},
        {"two windows, the first shown", TwoWindows, -1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n\r\n[Window00]\r\nfile=Main.bmp\r\n"
          "size_mm=320\r\ngauge00=Test.Clock, 20, 120\r\ngauge01=Lumivane, 0, 0\r\n\r\n[Window01]\r\nfile=Main.bmp\r\n"
          "size_mm=160\r\ngauge00=Test.Radio, 0, 0, 40, 20\r\n\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n",
         "Installed: line 9 of PANEL/Panel.cfg in [Window00] 'Main Panel': gauge01=Lumivane, 0, 0", "", ""},
        {"two windows, --in-window 01 --at 0,30", TwoWindows, 1, 0, 30,
         "[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n\r\n[Window00]\r\nfile=Main.bmp\r\n"
          "size_mm=320\r\ngauge00=Test.Clock, 20, 120\r\n\r\n[Window01]\r\nfile=Main.bmp\r\nsize_mm=160\r\n"
          "gauge00=Test.Radio, 0, 0, 40, 20\r\ngauge01=Lumivane, 0, 30\r\n\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n",
         "Installed: line 14 of PANEL/Panel.cfg in [Window01] 'Radio': gauge01=Lumivane, 0, 30", "", ""},
        {"two windows, --in-window 01", TwoWindows, 1, -1, -1,
         "[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n\r\n[Window00]\r\nfile=Main.bmp\r\n"
          "size_mm=320\r\ngauge00=Test.Clock, 20, 120\r\n\r\n[Window01]\r\nfile=Main.bmp\r\nsize_mm=160\r\n"
          "gauge00=Test.Radio, 0, 0, 40, 20\r\ngauge01=Lumivane, 40, 0\r\n\r\n[Default View]\r\nX_SIZE_SCREEN=8192\r\n",
         "Installed: line 14 of PANEL/Panel.cfg in [Window01] 'Radio': gauge01=Lumivane, 40, 0", "", ""},
        {"an entry for Lumivane already there", Usual, -1, -1, -1, Usual,
         "Lumivane is already in [Window00] at line 8 of PANEL/Panel.cfg: the file is left as it is", "",
         "[Window Titles]\r\nwindow00=Main Panel\r\n\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\n"
          "gauge00=Test.Clock, 20, 120\r\n"},
    };
    int index = 0;
    for (const InstallRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::string panel, gauges, config;
        Aircraft("panel-install", index, &panel, &gauges, &config);
        const std::string module = JoinPath(OutFolder("panel-install"), "row" + std::to_string(index++) + ".gau");
        Make(module, Module);
        Make(config, row.config);
        InstallRequest request;
        request.PanelFile = config;
        request.Gauge = Lumivane();
        request.Module = module;
        request.Window = row.window;
        request.AtGiven = row.x >= 0;
        request.X = row.x;
        request.Y = row.y;

        Installed dry = RunInstall(request, panel, gauges, false, true);
        EXPECT_EQ(dry.result.Status, 0) << dry.errors;
        if (!row.diff.empty())
            EXPECT_EQ(Shown(dry.result.Diff, panel, gauges), row.diff);
        EXPECT_EQ(Contents(config), row.config) << "a dry run writes nothing";
        EXPECT_EQ(Listing(gauges), std::vector<std::string>()) << "a dry run copies nothing";

        Installed first = RunInstall(request, panel, gauges, false, false);
        EXPECT_EQ(first.result.Status, 0) << first.errors;
        EXPECT_EQ(Contents(config), row.installed);
        EXPECT_NE(first.said.find(row.said + "\n"), std::string::npos) << first.said;
        EXPECT_EQ(Contents(JoinPath(gauges, "Lumivane.gau")), Module);
        EXPECT_FALSE(first.result.Findings.Windows.empty()) << "read back, the window holds the gauge";

        Installed again = RunInstall(request, panel, gauges, false, false);
        EXPECT_EQ(again.result.Status, 0) << again.errors;
        EXPECT_EQ(Contents(config), row.installed) << "a second install changes nothing";
        EXPECT_NE(again.said.find("Lumivane is already in "), std::string::npos) << again.said;

        Installed out = RunInstall(request, panel, gauges, true, false);
        EXPECT_EQ(out.result.Status, 0) << out.errors;
        EXPECT_EQ(Contents(config), row.takenOut.empty() ? row.config : row.takenOut);
        EXPECT_NE(out.said.find("Lumivane.gau stays in GAUGES, since another aircraft may use it"), std::string::npos)
            << out.said;
        EXPECT_EQ(Contents(JoinPath(gauges, "Lumivane.gau")), Module);

        // Each backup whole, and nothing of ours left.
        const bool added = row.installed != row.config;
        std::vector<std::string> expected = {"Main.bmp", "Panel.cfg", "Panel.cfg.lumivane-1.bak"};
        if (added)
            expected.push_back("Panel.cfg.lumivane-2.bak");
        EXPECT_EQ(Listing(panel), expected);
        EXPECT_EQ(Contents(config + ".lumivane-1.bak"), row.config);
        if (added)
            EXPECT_EQ(Contents(config + ".lumivane-2.bak"), row.installed);
    }
}

// Every way an install must refuse or fail without mounts and locks (those
// are the program's test's), each with its message and status, and the
// pilot's panel and Gauges folder left to the byte as they were, with no
// file of ours beside them.
TEST(PanelInstall, WhatCannotBeDoneChangesNothing)
{
    const std::string problems = "[Window Titles]\r\nwindow00=Main Panel\r\nwindow01=Radio\r\n[Window00]\r\n"
        "file=Main.bmp\r\nsize_mm=320\r\nsize_mm=640\r\ngauge00=Test.Clock, 20, 120\r\n[Window01]\r\nfile=Main.bmp\r\n"
        "size_mm=320\r\ngauge00=Lumivane.gau, 0, 0\r\ngauge01=Lumivane, 150, 0\r\n";
    const std::string full = "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\nsize_mm=320"
        "\r\ngauge00=Test.Wall, 0, 0, 320, 200\r\n";
    const std::string clean = "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\n"
        "size_mm=320\r\ngauge00=Test.Clock, 20, 120\r\n";
    const std::string unlisted = std::string(Usual).replace(std::string(Usual).find("gauge01"), 28, "") +
        "[Window01]\r\nfile=Main.bmp\r\nsize_mm=320\r\n";
    enum Gauges { Empty, Missing, Other };
    struct FaultRow {
        const char* what;
        std::string config;
        Gauges there;
        int window, x, y;
        bool replace, moduleMissing;
        int status;
        std::string error; // the last line said on standard error
    };
    const FaultRow rows[] = {
        {"problems make the place uncertain", problems, Empty, -1, -1, -1, false, false, 2,
         "nothing was changed: the problems above make the entry's place uncertain; mend them, and run this again"},
        {"no place clear of every gauge", full, Empty, -1, -1, -1, false, false, 2,
         "nothing was changed: no place in [Window00]'s bitmap of 320 x 200 keeps clear of every other gauge; "
         "choose one with --at X,Y"},
        {"--at beyond the bitmap", full, Empty, -1, 250, 10, false, false, 2,
         "nothing was changed: at 250, 10 the gauge would reach to pixel 350, 80, beyond [Window00]'s bitmap of "
         "320 x 200"},
        {"--in-window a window with no section", clean, Empty, 4, -1, -1, false, false, 2,
         "nothing was changed: PANEL/Panel.cfg has no [Window04] section"},
        {"--in-window a window never shown", unlisted, Empty, 1, -1, -1, false, false, 2,
         "nothing was changed: the problems above make the entry's place uncertain; mend them, and run this again"},
        {"no Gauges folder", clean, Missing, -1, -1, -1, false, false, 1,
         "nothing was changed: there is no folder GAUGES (the simulator's Gauges folder, looked for three folders "
         "above Panel.cfg); name it with --gauges"},
        {"another Lumivane.gau in Gauges", clean, Other, -1, -1, -1, false, false, 2, ""},
        {"no module to install", clean, Empty, -1, -1, -1, false, true, 1, ""},
    };
    int index = 0;
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.what);
        std::string panel, gauges, config;
        Aircraft("panel-install-faults", index, &panel, &gauges, &config);
        const std::string module = JoinPath(OutFolder("panel-install-faults"), "row" + std::to_string(index++) +
            ".gau");
        Make(module, row.moduleMissing ? Absent : Module);
        Make(config, row.config);
        if (row.there == Missing)
            Make(gauges, Absent);
        if (row.there == Other)
            Make(JoinPath(gauges, "Lumivane.gau"), "MZ: another build");
        const std::vector<std::string> before = Listing(gauges);
        InstallRequest request;
        request.PanelFile = config;
        request.Gauge = Lumivane();
        request.Module = module;
        request.Window = row.window;
        request.AtGiven = row.x >= 0;
        request.X = row.x;
        request.Y = row.y;
        request.Replace = row.replace;
        const Installed run = RunInstall(request, panel, gauges, false, false);
        EXPECT_EQ(run.result.Status, row.status) << run.errors;
        const std::string last = run.errors.empty() ? "" : run.errors.substr(0, run.errors.size() - 1);
        const std::string said = last.substr(last.find_last_of('\n') == std::string::npos ? 0 :
            last.find_last_of('\n') + 1);
        if (!row.error.empty())
            EXPECT_EQ(said, row.error);
        EXPECT_EQ(said.rfind("nothing was changed: ", 0), 0u) << said;
        EXPECT_EQ(Contents(config), row.config);
        EXPECT_EQ(Listing(panel), (std::vector<std::string>{"Main.bmp", "Panel.cfg"}));
        EXPECT_EQ(Listing(gauges), before);
    }

    // --replace: the module put in place of another of its name, which is
    // kept beside it.
    std::string panel, gauges, config;
    Aircraft("panel-install-faults", index, &panel, &gauges, &config);
    const std::string module = JoinPath(OutFolder("panel-install-faults"), "replace.gau");
    Make(module, Module);
    Make(config, clean);
    Make(JoinPath(gauges, "Lumivane.gau"), "MZ: another build");
    InstallRequest request;
    request.PanelFile = config;
    request.Gauge = Lumivane();
    request.Module = module;
    request.Replace = true;
    const Installed replaced = RunInstall(request, panel, gauges, false, false);
    EXPECT_EQ(replaced.result.Status, 0) << replaced.errors;
    EXPECT_EQ(Contents(JoinPath(gauges, "Lumivane.gau")), Module);
    EXPECT_EQ(Contents(JoinPath(gauges, "Lumivane.gau.lumivane-1.bak")), "MZ: another build");
    EXPECT_EQ(Listing(gauges), (std::vector<std::string>{"Lumivane.gau", "Lumivane.gau.lumivane-1.bak"}));
}

// --uninstall takes out every line that names the gauge, in any form and
// wherever it stands, read by the simulator or not, and only those.
TEST(PanelInstall, EveryLineThatNamesTheGaugeIsTakenOutAndOnlyThose)
{
    const std::string before = "gauge00=Lumivane, 0, 0\r\n[Window Titles]\r\nwindow00=Main Panel\r\n"
        "[Window00]\r\nfile=Main.bmp\r\nsize_mm=320\r\ngauge00=Test.Clock, 20, 120\r\ngauge01=lumivane, 200, 110\r\n"
        "gauge02=Lumivane.gau, 0, 0\r\nGAUGE03 = Lumivane!Lumivane , 0, 0 ; the later form\r\ngauge04=Lumivane 5 5\r\n"
        "gauge10=Lumivane 5, 5\r\ngauge5=Lumivane, 0, 0\r\ngauge06=Lumivane2, 0, 0\r\ngauge07=Test.Lumivane, 0, 0\r\n"
        "; gauge08=Lumivane, 0, 0\r\nident=Lumivane\r\n[Window00]\r\ngauge00=Lumivane, 1, 1\r\n"
        "gauge09=Lumivane, 1, 1";
    const std::string after = "[Window Titles]\r\nwindow00=Main Panel\r\n[Window00]\r\nfile=Main.bmp\r\n"
        "size_mm=320\r\ngauge00=Test.Clock, 20, 120\r\ngauge06=Lumivane2, 0, 0\r\ngauge07=Test.Lumivane, 0, 0\r\n"
        "; gauge08=Lumivane, 0, 0\r\nident=Lumivane\r\n[Window00]";
    std::string panel, gauges, config;
    Aircraft("panel-uninstall", 0, &panel, &gauges, &config);
    Make(config, before);
    InstallRequest request;
    request.PanelFile = config;
    request.Gauge = Lumivane();
    const Installed run = RunInstall(request, panel, gauges, true, false);
    EXPECT_EQ(run.result.Status, 0) << run.errors;
    EXPECT_EQ(Contents(config), after);
    EXPECT_EQ(Contents(config + ".lumivane-1.bak"), before);
    EXPECT_NE(run.said.find("Taken out of PANEL/Panel.cfg: line 20, 'gauge09=Lumivane, 1, 1'\n"), std::string::npos)
        << run.said;
}

// Each place's corners are the gauge's corners, every pixel of a place is a
// pixel of the gauge, never going back along a row or a column, and no pixel
// off the places reaches it: at one and two pixels a unit, at 1.6, and a
// gauge drawn smaller than its own size.
TEST(PanelCheck, EveryPixelOfAPlaceIsAPixelOfTheGauge)
{
    const int width = 100, height = 70;
    const PixelBox places[] = {{0, 0, 100, 70}, {200, 110, 300, 180}, {100, 50, 300, 190}, {13, 7, 173, 119},
        {5, 5, 55, 40}};
    for (const PixelBox& place : places) {
        WindowPicture picture;
        picture.BitmapWidth = 320;
        picture.BitmapHeight = 200;
        picture.Places = {place};
        const std::string where = "in the place " + std::to_string(place.Left) + "," + std::to_string(place.Top) +
            " to " + std::to_string(place.Right) + "," + std::to_string(place.Bottom);
        int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
        EXPECT_TRUE(GaugePixelAt(picture, width, height, place.Left, place.Top, &x0, &y0)) << where;
        EXPECT_TRUE(GaugePixelAt(picture, width, height, place.Right - 1, place.Bottom - 1, &x1, &y1)) << where;
        EXPECT_EQ(x0, 0) << where;
        EXPECT_EQ(y0, 0) << where;
        // Drawn smaller, the last pixels of the gauge fall between the place's.
        if (place.Right - place.Left >= width) {
            EXPECT_EQ(x1, width - 1) << where;
            EXPECT_EQ(y1, height - 1) << where;
        }
        int wrong = 0;
        for (int y = -2; y < picture.BitmapHeight + 2; ++y)
            for (int x = -2, previous = -1; x < picture.BitmapWidth + 2; ++x) {
                int gaugeX, gaugeY;
                const bool inside = x >= place.Left && x < place.Right && y >= place.Top && y < place.Bottom;
                const bool found = GaugePixelAt(picture, width, height, x, y, &gaugeX, &gaugeY);
                wrong += found != inside ||
                    (found && (gaugeX < previous || gaugeX >= width || gaugeY < 0 || gaugeY >= height));
                previous = found ? gaugeX : -1;
            }
        EXPECT_EQ(wrong, 0) << where;
    }
}

} // namespace
