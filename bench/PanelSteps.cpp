// lumivane-bench's steps for an aircraft's panel: --panel reads it, checks
// each entry of the gauge and draws the windows that hold it; --install and
// --uninstall change it (bench/aircraft/PanelInstall.h) and draw it again.
// The aircraft room knows no gauge of its own: it is told of this one here.
#include "bench/BenchRun.h"

#include "bench/aircraft/PanelCheck.h"
#include "bench/aircraft/PanelPictures.h"
#include "bench/files/Files.h"
#include "bench/lumivane/LumivaneFacts.h"

#include <stdio.h>

GaugeModule TheGauge(const BenchRun& run)
{
    GaugeModule gauge;
    gauge.File = run.Reader->Description().ModuleFile;
    gauge.Width = PanelWidth;
    gauge.Height = PanelHeight;
    return gauge;
}

namespace {

// Each window of `findings` that holds the gauge, drawn into --out (or the
// current folder); 1 when the gauge could not be flown or a picture
// written, otherwise `found`.
int DrawPanel(BenchRun& run, const PanelFindings& findings, int found)
{
    std::vector<std::string> written;
    std::string error;
    const std::string out = run.OutGiven ? run.Options.Out : AbsolutePath(".");
    const bool drawn = WritePanelPictures(findings, run.Options, out, run.Scale, &written, &error);
    if (!error.empty())
        fprintf(stderr, "lumivane-bench: %s\n", Printable(run, error).c_str());
    if (!run.Quiet)
        for (const std::string& path : written)
            printf("Drawn: %s\n", Printable(run, path).c_str());
    return !findings.Module.empty() && !drawn ? 1 : found;
}

} // namespace

int ReadThePanel(BenchRun& run)
{
    if (run.PanelFile.empty())
        return GoOn;
    PanelFindings findings;
    CheckPanel(run.PanelFile, run.GaugesFolder, TheGauge(run), &findings);
    fprintf(stderr, "%s", Printable(run, findings.Problems.Text()).c_str());
    if (!run.Quiet) {
        for (const std::string& line : findings.Checked)
            printf("%s\n", Printable(run, line).c_str());
        printf("%s", Printable(run, findings.Suggestion).c_str());
        fflush(stdout);
    }
    const int found = findings.Problems.Empty() ? 0 : 2;
    if (findings.Windows.empty())
        return found;
    if (run.Window) {
        if (findings.Module.empty())
            return 2;
        run.Options.Module = findings.Module;
        run.Picture.reset(new WindowPicture);
        std::string problem;
        if (!DrawWindowPicture(findings.Windows.front(), run.Picture.get(), &problem))
            fprintf(stderr, "lumivane-bench: %s\n", problem.c_str());
        return GoOn;
    }
    return DrawPanel(run, findings, found);
}

int InstallOrTakeOut(BenchRun& run)
{
    if (run.Install.PanelFile.empty())
        return GoOn;
    InstallResult result;
    InstallGauge(run.Install, &result);
    for (const std::string& line : result.Errors)
        fprintf(stderr, "%s%s\n", line.rfind(run.Install.PanelFile, 0) == 0 ? "" : "lumivane-bench: ",
            Printable(run, line).c_str());
    if (!run.Quiet) {
        printf("%s", Printable(run, result.Diff).c_str());
        for (const std::string& line : result.Said)
            printf("%s\n", Printable(run, line).c_str());
        for (const std::string& line : result.Findings.Checked)
            printf("%s\n", Printable(run, line).c_str());
        fflush(stdout);
    }
    if (result.Status != 0 || !result.Draw || result.Findings.Windows.empty())
        return result.Status;
    fflush(stderr);
    return DrawPanel(run, result.Findings, 0);
}
