// The counted states. The passes are the bench's own (GaugeHost::Pass, every
// element in chain order) at the simulator's rate, the software device's
// clock moving one pass of time per pass.
#include "bench/measuring/SystemCallsPerPass.h"

#include "bench/hosting/GaugeHost.h"
#include "bench/hosting/SettingsSandbox.h"
#include "bench/measuring/SystemCallHooks.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"

#include <stdio.h>

#include <algorithm>

#include <vector>

namespace {

constexpr int PassesPerSecond = int(GaugeHost::PassesPerSecond);
constexpr int SteadyPasses = 50;

std::vector<double> Airspeeds(const MeasuredState& state)
{
    std::vector<double> airspeeds;
    if (state.From == state.To)
        return std::vector<double>(SteadyPasses, state.From);
    const double step = 10.0 / PassesPerSecond;
    for (int i = 0; state.From + i * step <= state.To + 1e-9; ++i)
        airspeeds.push_back(state.From + i * step);
    return airspeeds;
}

} // namespace

bool CountCallsPerPass(const std::string& module, const std::string& sandbox, const GaugeReader& reader,
                       const MeasuredState& state, CallsFigures* figures, std::string* error)
{
    *figures = CallsFigures();
    if (!reader.LayOutSettings(sandbox, state.Settings, error))
        return false;
    GaugeHost host;
    if (!host.Load(module, error))
        return false;
    // The tap and the sandbox first; the counting hooks go in front of them.
    if (!TapGaugeSound(host.ModuleHandle(), true, &reader.Description())) {
        *error = "the module imports no DirectSoundCreate";
        return false;
    }
    if (!EnterSandbox(host.ModuleHandle(), sandbox, error))
        return false;
    if (CountModuleCalls(host.ModuleHandle()) != CountedCalls) {
        *error = "the module does not import every counted function";
        return false;
    }
    const size_t refusalsBefore = SandboxRefusals().size();
    const int32_t blocksBefore = GaugeLiveBlocks();
    host.TraceServices(false);
    host.ConnectServices();
    ResetGaugeCalls();
    host.Query();
    host.Install(0);
    host.Initialize();
    figures->Install = GaugeCalls;

    const uint32_t samplesPerPass = SOFT_DIRECTSOUND_RATE / PassesPerSecond;
    PassResults results;
    host.Pass(state.From, &results);
    TapAdvance(samplesPerPass);
    ClearSoundEvents();
    std::vector<GaugeCallCounts> counted;
    for (double airspeed : Airspeeds(state)) {
        ResetGaugeCalls();
        host.Pass(airspeed, &results);
        TapAdvance(samplesPerPass);
        counted.push_back(GaugeCalls);
    }
    // Every state counts at least one pass: a steady one several, a ramp
    // from its first airspeed to its last.
    figures->Passes = int(counted.size());
    figures->PerPass = counted.back();
    figures->Steady = std::adjacent_find(counted.begin(), counted.end(), [](const GaugeCallCounts& a,
        const GaugeCallCounts& b) { return !(a == b); }) == counted.end();
    for (const SoundEvent& event : SoundEvents())
        figures->Plays += event.What == SoundEvent::Played && event.Result >= 0;

    ResetGaugeCalls();
    host.Kill();
    figures->Kill = GaugeCalls;
    figures->BlocksLeft = GaugeLiveBlocks() - blocksBefore;
    std::vector<std::string> faults = host.StackFaults();
    faults.insert(faults.end(), host.ServiceFaults().begin(), host.ServiceFaults().end());
    for (size_t i = refusalsBefore; i < SandboxRefusals().size(); ++i)
        faults.push_back("the module opened " + SandboxRefusals()[i] + ", outside the settings sandbox");
    host.Unload();
    if (!faults.empty()) {
        *error = faults.front();
        return false;
    }
    return true;
}
