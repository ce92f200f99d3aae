// A short take-off flown through the stand-in host: the pilot sets Speed1 with
// the mouse, then the airspeed climbs from a standstill past all three speeds
// at the host's 18 passes a second, in real time so the call-outs sound as
// they would in the cockpit. Prints each pass where something changes.
#include "GaugeHost.h"
#include "Recording.h"
#include "SoundTap.h"

#include <stdio.h>
#include <string>

namespace {

std::string Lamps(const PanelState& state)
{
    std::string text;
    for (double lamp : state.Lamps)
        text += lamp == 0.0 ? "[#]" : "[ ]";
    return text;
}

std::string Selected(const PanelState& state)
{
    for (int i = 0; i < 3; ++i)
        if (state.Marks[i] == 0.0)
            return "Speed" + std::to_string(i + 1);
    return "none";
}

const char* Describe(int beeps)
{
    return beeps == 1 ? "single beep" : beeps == 2 ? "double beep" : "sound";
}

// What the gauge asked of DirectSound since the last look.
std::string CallOuts(size_t& seen)
{
    std::string text;
    const std::vector<SoundEvent>& events = SoundEvents();
    for (; seen < events.size(); ++seen) {
        const SoundEvent& event = events[seen];
        if (event.What == SoundEvent::Played)
            text += std::string(text.empty() ? "" : ", ") + Describe(event.Beeps) + " started";
        else if (event.What == SoundEvent::Busy)
            text += std::string(text.empty() ? "" : ", ") + Describe(event.Beeps) + " dropped (still sounding)";
    }
    return text;
}

} // namespace

int main()
{
    // A fresh installation: no settings files in the demonstration's C:\.
    for (const char* path : {"C:\\pelmo", "C:\\pelmo1", "C:\\pelmo2"})
        remove(path);
    GaugeHost host;
    if (!host.Load("Lumivane.gau")) {
        fprintf(stderr, "Cannot load Lumivane.gau beside this program\n");
        return 1;
    }
    bool tapped = TapDirectSound(GetModuleHandleA("Lumivane.gau"));
    host.ConnectServices();
    host.Install(0);

    printf("Lumivane.gau loaded and installed by the stand-in host.\n");
    int buffers = 0;
    for (const SoundEvent& event : SoundEvents()) {
        if (event.What == SoundEvent::DeviceRefused)
            printf("DirectSound: no device (result 0x%08lX); the gauge runs silently.\n", event.Result);
        if (event.What == SoundEvent::BufferCreated && event.Buffer >= 0)
            ++buffers;
    }
    if (!tapped)
        printf("(Could not listen in on the gauge's DirectSound.)\n");
    printf("DirectSound: %d sound buffers created.\n\n", buffers);
    size_t seen = SoundEvents().size();

    printf("The pilot selects Speed1 (bottom button) and raises it by 5 (right half of the readout, held).\n");
    host.Press(10, 56);
    host.Press(70, 45, true, 4);
    PanelState shown = host.Pass(0.0);
    printf("Readout \"%s\", selected %s.\n\n", shown.Readout.c_str(), Selected(shown).c_str());

    printf(" pass   time  airspeed  lamps      readout  call-outs\n");
    const int passesPerSecond = 18;
    PanelState previous = {};
    previous.Readout = "?";
    for (int pass = 0; pass <= 10 * passesPerSecond; ++pass) {
        double seconds = double(pass) / passesPerSecond;
        // Standstill for a second, then 15 units a second up to 125.
        double airspeed = pass < passesPerSecond ? 0.0 : (pass - passesPerSecond) * 15.0 / passesPerSecond;
        if (airspeed > 125.0)
            airspeed = 125.0;
        PanelState state = host.Pass(airspeed);
        std::string callOuts = CallOuts(seen);
        if (state != previous || !callOuts.empty())
            printf("%5d %5.2fs %8.1f  %s  \"%s\"    %s\n", pass, seconds, airspeed, Lamps(state).c_str(),
                   state.Readout.c_str(), callOuts.c_str());
        previous = state;
        Sleep(1000 / passesPerSecond);
    }
    Sleep(500);
    host.Kill();
    printf("\nKilled and unloaded. Stack checks: %s.\n",
           host.StackFaults().empty() ? "every call left the stack as it found it" : host.StackFaults()[0].c_str());
    host.Unload();

    // The device is released, so the recording of what reached the sound
    // card is complete.
    Recording recording = ReadRecording(CaptureBesideProgram("demo-home"));
    if (!recording.Problem.empty()) {
        printf("No recording of the sound card: %s\n", recording.Problem.c_str());
    } else {
        std::vector<Burst> beeps = FindBursts(recording, 0.01f);
        printf("Recorded at the sound card: %zu beeps (%.2f s of audio at %u Hz; the recording\n"
               "device does not keep real time, so the silences between them are not to scale):",
               beeps.size(), double(recording.Samples.size()) / recording.Rate, unsigned(recording.Rate));
        for (const Burst& beep : beeps)
            printf(" %.0f ms", (beep.Last - beep.First + 1) * 1000.0 / recording.Rate);
        printf("\n");
    }
    return host.StackFaults().empty() ? 0 : 1;
}
