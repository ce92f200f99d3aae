// One pass is enough: the gauge shows at once what it shows on a panel at
// rest, its lamps dark and its readout the selected speed. The run plays
// through the bench's software DirectSound, so that drawing a picture never
// opens the sound card.
#include "bench/aircraft/PanelPictures.h"

#include "bench/files/Files.h"
#include "bench/pictures/ContactSheet.h"
#include "bench/recording/RecordedRun.h"

#include <stdio.h>

std::string PanelPictureName(int window)
{
    return "panel-" + WindowTitleKey(window) + ".png";
}

bool WritePanelPictures(const PanelFindings& findings, RunOptions options, const std::string& out, int scale,
    std::vector<std::string>* written, std::string* error)
{
    written->clear();
    error->clear();
    LiveGauge gauge;
    bool flown = false;
    if (findings.Module.empty()) {
        *error = findings.Gauge.File + " was not found, so its places are outlined instead";
    } else {
        options.Module = findings.Module;
        options.Record = false;
        options.Progress = false;
        options.SoftSound = true;
        options.Speed = Pace::Fast;
        options.TakeInput = [](PassControl& control) { control.Stop(); };
        bool painted = true;
        options.ShowPass = [&](const PassRecord& pass) { painted = gauge.Paint(pass) && painted; };
        RunSummary summary;
        std::string why;
        if (!RunScenario(options, OpenEndedScenario("panel"), &summary, &why))
            *error = "the gauge could not be flown: " + why;
        else if (!painted || summary.Passes == 0)
            *error = "the gauge could not be painted: " + gauge.Problem();
        else if (!summary.Faults.empty())
            *error = "the gauge misbehaved on its pass: " + summary.Faults.front();
        else
            flown = true;
    }
    if (!MakeFolders(out)) {
        *error = "cannot make the folder " + out;
        return false;
    }
    bool good = flown;
    for (const CheckedWindow& window : findings.Windows) {
        WindowPicture picture;
        std::string problem;
        DrawWindowPicture(window, &picture, &problem);
        Image image;
        if (flown) {
            SetGauge(picture, gauge, &image);
        } else {
            MarkGaugeMissing(&picture, EntryName(findings.Gauge) + ": not shown");
            image = picture.Base;
        }
        const std::string path = JoinPath(out, PanelPictureName(window.Window.Number));
        std::string png;
        if (!EncodeFrame(image, scale, &png) || !WriteWholeFile(path, png)) {
            *error += (error->empty() ? "" : "; ") + std::string("cannot write ") + path;
            good = false;
            continue;
        }
        written->push_back(path);
    }
    return good;
}
