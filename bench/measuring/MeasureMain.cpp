// lumivane-measure: the gauge's figures under Wine, taken through the bench.
//
//   passes  the cost of a pass, timed with the performance counter: the
//           gauge in the first of the states its reader describes (its
//           settings loaded, at rest), beside the null and the minimal gauge
//           built as modules of their own (speed/ReferenceModule.cpp), each
//           loaded and installed as the simulator does. A pass is the
//           bench's own, every element's callback in chain order; the three
//           modules take turns, round by round, and each one's figure is the
//           median of its rounds.
//   calls   the calls to the system a pass makes, counted through the
//           module's import hooks (bench/measuring/SystemCallsPerPass.h), in
//           each of those states.
//
// Each figure is printed as one line "figure: NAME key=value ...", which
// tools/figures reads. Nothing here passes or fails on a figure; a module
// that cannot be driven, or a pass that does not do its work, is an error.
// The gauge and its module's file name are its reader's
// (bench/lumivane/LumivaneReader.h), its states LumivaneMeasuredStates().
#include "bench/hosting/GaugeHost.h"
#include "bench/hosting/SettingsSandbox.h"
#include "bench/lumivane/LumivaneReader.h"
#include "bench/measuring/SystemCallHooks.h"
#include "bench/measuring/SystemCallsPerPass.h"

#include <CLI/CLI.hpp>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const LumivaneReader Reader;

// The state a pass is timed in: at rest, the lamps dark and no sound asked
// for, so that every pass does the same work.
const MeasuredState& Timed()
{
    return LumivaneMeasuredStates().front();
}

std::string BesideProgram(const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return folder.substr(0, slash == std::string::npos ? 0 : slash + 1) + name;
}

struct Measured {
    const char* Kind;
    std::string Path;
    std::string Readout; // what its readout shows once it has done its work
    GaugeHost* Host;
    PassResults Results;
    std::vector<double> Nanoseconds; // a pass, one figure a round
};

// The text of the first text element, as the host holds it: the readout of
// all three gauges, which share one chain.
std::string FirstText(const PassResults& results)
{
    for (int i = 0; i < results.Count; ++i)
        if (results.Elements[i].Kind == TextStringKind)
            return results.Elements[i].Text;
    return std::string();
}

bool Prepare(Measured* m, const std::string& settings, std::string* error)
{
    GaugeHost& host = *m->Host;
    host.Serve();
    if (!host.Load(m->Path, error))
        return false;
    const bool gauge = std::string(m->Kind) == "gauge";
    if (gauge) {
        // The software device behind the tap: nothing plays at rest, and
        // Wine's mixer has no thread running beside the passes.
        if (!TapGaugeSound(host.ModuleHandle(), true, &Reader.Description()) ||
            !EnterSandbox(host.ModuleHandle(), settings, error) ||
            CountModuleCalls(host.ModuleHandle()) != CountedCalls) {
            if (error->empty())
                *error = m->Path + " does not import what " + Reader.Description().ModuleFile + " imports";
            return false;
        }
    }
    host.TraceServices(false);
    host.ConnectServices();
    host.Query();
    host.Install(0);
    host.Initialize();
    // The first pass loads the settings; the second must then call nothing.
    const double resting = Timed().From;
    host.Pass(resting, &m->Results);
    ResetGaugeCalls();
    host.Pass(resting, &m->Results);
    if (gauge && !(GaugeCalls == GaugeCallCounts())) {
        *error = "a pass with the settings present still calls the system: " + DescribeCalls(GaugeCalls);
        return false;
    }
    const std::string shown = FirstText(m->Results);
    if (shown != m->Readout) {
        *error = std::string("the ") + m->Kind + " gauge shows \"" + shown + "\", not \"" + m->Readout +
                 "\": it does not do its work";
        return false;
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int MeasurePasses(const std::string& settings, const std::string& gaugePath, const std::string& minimalPath,
                  const std::string& nullPath, int rounds, int passes)
{
    std::string error;
    if (!Reader.LayOutSettings(settings, Timed().Settings, &error)) {
        fprintf(stderr, "lumivane-measure: %s\n", error.c_str());
        return 1;
    }
    GaugeHost gaugeHost, minimalHost, nullHost;
    // The minimal gauge writes what the gauge's readout shows at rest.
    const std::string& selected = Timed().Readout;
    Measured modules[3] = {
        {"gauge", gaugePath, selected, &gaugeHost, {}, {}},
        {"minimal", minimalPath, selected, &minimalHost, {}, {}},
        {"null", nullPath, "", &nullHost, {}, {}},
    };
    for (Measured& m : modules) {
        if (!Prepare(&m, settings, &error)) {
            fprintf(stderr, "lumivane-measure: %s\n", error.c_str());
            return 1;
        }
    }
    // Read once: only the pass itself is timed.
    const double resting = Timed().From;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    for (int round = 0; round < rounds; ++round) {
        // Each round starts with another module, so that none always runs
        // right after the same neighbour.
        for (int turn = 0; turn < 3; ++turn) {
            Measured& m = modules[(round + turn) % 3];
            m.Host->Serve();
            QueryPerformanceCounter(&start);
            for (int pass = 0; pass < passes; ++pass)
                m.Host->Pass(resting, &m.Results);
            QueryPerformanceCounter(&end);
            m.Nanoseconds.push_back(double(end.QuadPart - start.QuadPart) * 1e9 / double(frequency.QuadPart) /
                                    passes);
        }
    }
    int status = 0;
    printf("figure: wine-timer frequency=%lld\n", static_cast<long long>(frequency.QuadPart));
    for (Measured& m : modules) {
        const std::vector<double>& ns = m.Nanoseconds;
        printf("figure: wine-pass kind=%s rounds=%d passes=%d median-ns=%.1f min-ns=%.1f max-ns=%.1f\n", m.Kind,
               rounds, passes, Median(ns), *std::min_element(ns.begin(), ns.end()),
               *std::max_element(ns.begin(), ns.end()));
        for (const std::string& fault : m.Host->StackFaults()) {
            fprintf(stderr, "lumivane-measure: the %s gauge: %s\n", m.Kind, fault.c_str());
            status = 1;
        }
    }
    double gauge = Median(modules[0].Nanoseconds), minimal = Median(modules[1].Nanoseconds);
    printf("Gauge / minimal under Wine: %.2f (median ns a pass: gauge %.1f, minimal %.1f, null %.1f)\n",
           gauge / minimal, gauge, minimal, Median(modules[2].Nanoseconds));
    for (Measured& m : modules)
        m.Host->Unload();
    return status;
}

int MeasureCalls(const std::string& settings, const std::string& gaugePath)
{
    int status = 0;
    const std::vector<MeasuredState>& states = LumivaneMeasuredStates();
    for (size_t i = 0; i < states.size(); ++i) {
        const MeasuredState& state = states[i];
        const char* name = state.Name.c_str();
        CallsFigures figures;
        std::string error;
        if (!CountCallsPerPass(gaugePath, settings, Reader, state, &figures, &error)) {
            fprintf(stderr, "lumivane-measure: %s: %s\n", name, error.c_str());
            status = 1;
            continue;
        }
        printf("figure: calls-per-pass state=\"%s\" passes=%d steady=%s plays=%d %s\n", name,
               figures.Passes, figures.Steady ? "yes" : "no", figures.Plays, DescribeCalls(figures.PerPass).c_str());
        if (i == 0 || figures.Plays) {
            printf("figure: calls-at-install state=\"%s\" %s\n", name, DescribeCalls(figures.Install).c_str());
            printf("figure: calls-at-kill state=\"%s\" %s blocks-left=%d\n", name,
                   DescribeCalls(figures.Kill).c_str(), int(figures.BlocksLeft));
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"The gauge's figures under Wine, through the bench: the cost of a pass beside the null and the "
                 "minimal gauge, and the calls to the system a pass makes.",
                 "lumivane-measure"};
    app.require_subcommand(1);
    const std::string moduleFile = Reader.Description().ModuleFile;
    std::string settings, gauge = BesideProgram(moduleFile.c_str()), minimal = BesideProgram("MinimalGauge.gau"),
                null = BesideProgram("NullGauge.gau");
    int rounds = 10, passes = 200000;
    CLI::App* timing = app.add_subcommand("passes", "Time passes of the three modules, taking turns");
    CLI::App* calls = app.add_subcommand("calls", "Count " + moduleFile + "'s calls to the system per pass");
    for (CLI::App* command : {timing, calls}) {
        command->add_option("--settings", settings, "The settings sandbox: a folder for the gauge's settings "
                                                    "files, created if need be; its files are replaced")
            ->required();
        command->add_option("--gauge", gauge, moduleFile + " (default: beside this program)");
    }
    timing->add_option("--minimal", minimal, "The minimal gauge module (default: beside this program)");
    timing->add_option("--null", null, "The null gauge module (default: beside this program)");
    timing->add_option("--rounds", rounds, "Rounds, each module timed once a round (default 10)")
        ->check(CLI::Range(1, 1000));
    timing->add_option("--passes", passes, "Passes a module makes in a round (default 200000)")
        ->check(CLI::Range(1, 100000000));
    CLI11_PARSE(app, argc, argv);

    CreateDirectoryA(settings.c_str(), nullptr);
    if (GetFileAttributesA(settings.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "lumivane-measure: cannot make the settings folder %s\n", settings.c_str());
        return 1;
    }
    if (timing->parsed())
        return MeasurePasses(settings, gauge, minimal, null, rounds, passes);
    return MeasureCalls(settings, gauge);
}
