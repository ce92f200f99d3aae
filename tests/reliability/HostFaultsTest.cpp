// A host that calls the gauge out of the expected order: without ever
// writing its service table, evaluating and pressing before install, killing
// without install or twice, installing twice. Nothing may crash (the
// sanitizers watch), the lamps and adjusts keep working wherever a host
// could see them, and only the one case the design allows leaks: a second
// install without a kill between overwrites the first device and its sounds,
// which are never released. What that costs is measured here, not changed.
#include "GaugeRun.h"

#include "callouts/Lamps.h"
#include "platform/CallCounts.h"
#include "platform/SoftDirectSound.h"
#include "settings/Speeds.h"
#include "sound/SoundObjects.h"

#include <vector>

namespace {

struct HostScenario {
    const char* name;
    bool writesServiceTable;
    // I install, K kill, T a take-off and landing, A an adjust through the
    // increase area.
    const char* steps;
    // Left when the steps are done: devices, buffers, LocalAlloc blocks.
    int devices, buffers, blocks;
    // Calls of the element tree install (25) and release (31).
    int installs, releases;
};

const HostScenario Scenarios[] = {
    {"service table never written", false, "ITAK", 0, 0, 0, 0, 0},
    {"evaluated and pressed before install", true, "TAITK", 0, 0, 0, 1, 1},
    {"kill without install", true, "K", 0, 0, 0, 0, 1},
    {"kill twice", true, "ITKK", 0, 0, 0, 1, 2},
    {"install, kill, install, kill", true, "ITKITK", 0, 0, 0, 2, 2},
    {"install twice", true, "IITK", 1, 2, 2, 2, 1},
};

// What a second install leaves behind of the first: its device and sounds.
struct Leaked {
    LPDIRECTSOUND device = nullptr;
    std::vector<SoundObject*> objects;
};

class HostFaults : public WholeGaugeTest {};

TEST_F(HostFaults, OutOfOrderCallsCrashNothingAndLeakOnlyASecondInstall)
{
    for (const HostScenario& s : Scenarios) {
        SCOPED_TRACE(s.name);
        StartFresh();
        GaugeRun run(s.writesServiceTable);
        std::vector<Leaked> leaked;
        for (const char* step = s.steps; *step; ++step) {
            switch (*step) {
            case 'I':
                if (SoundDevice)
                    leaked.push_back({SoundDevice, {Wave1Sound.Object, Wave2Sound.Object}});
                run.Install();
                break;
            case 'K':
                run.Kill();
                break;
            case 'T': {
                std::vector<double> flight = Ramp(60, 120, 30);
                for (double v : Ramp(120, 0, 60))
                    flight.push_back(v);
                for (double v : flight) {
                    PassView view = run.Pass(v);
                    // Without a service table the record keeps what it
                    // held, 0, and the lamps judge that.
                    double seen = s.writesServiceTable ? v : 0.0;
                    EXPECT_EQ(view.Lamps[0], Speed1 <= seen && seen <= Speed3 + 10 ? 0.0 : -1.0) << "at " << v;
                    EXPECT_EQ(view.Readout, std::to_string(Speed3));
                }
                EXPECT_EQ(CalloutStage, 0) << "the landing re-armed the call-outs";
                break;
            }
            case 'A': {
                int32_t before = Speed3;
                EXPECT_TRUE(run.Press(70, 40));
                EXPECT_EQ(Speed3, before + 1);
                EXPECT_EQ(ReadFile(Speed3File), std::to_string(before + 1));
                break;
            }
            }
        }
        EXPECT_EQ(SoftDirectSoundLiveDevices(), s.devices);
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), s.buffers);
        EXPECT_EQ(GaugeLiveBlocks(), s.blocks);
        EXPECT_EQ(run.Host().ServiceCalls(ElementTreeInstall), s.installs);
        EXPECT_EQ(run.Host().ServiceCalls(ElementTreeRelease), s.releases);
        EXPECT_EQ(run.Host().ServiceCalls(MouseAreasRegister), s.installs);
        EXPECT_EQ(run.Host().ServiceCalls(MouseAreasUnregister), s.releases);

        // The price of a second install: what the first one made, measured
        // and then given back here so that the run ends clean.
        for (const Leaked& l : leaked) {
            ULONG references = SoftDirectSoundReferences(l.device);
            DWORD audio = 0;
            for (SoundObject* object : l.objects) {
                ASSERT_NE(object, nullptr);
                DSBCAPS caps = {};
                caps.dwSize = sizeof caps;
                ASSERT_EQ(object->Voices[0]->GetCaps(&caps), DS_OK);
                audio += caps.dwBufferBytes;
            }
            EXPECT_EQ(references, 1u) << "the first device keeps the layer's one reference";
            EXPECT_EQ(audio, 2924u + 3784u) << "both clips stay in the first device's buffers";
            Figure("install-twice-leak", "devices=" + std::to_string(SoftDirectSoundLiveDevices()) +
                                             " device-references=" + std::to_string(references) +
                                             " buffers=" + std::to_string(SoftDirectSoundLiveBuffers()) +
                                             " audio-bytes=" + std::to_string(audio) + " blocks=" +
                                             std::to_string(GaugeLiveBlocks()) + " block-bytes=" +
                                             std::to_string(GaugeLiveBytes()) + " pointer-bytes=" +
                                             std::to_string(sizeof(void*)));
            for (SoundObject* object : l.objects)
                ReleaseSoundObject(object);
            EXPECT_EQ(l.device->Release(), 0u);
        }
        EXPECT_EQ(SoftDirectSoundLiveDevices(), 0);
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
        EXPECT_EQ(GaugeLiveBlocks(), 0);
    }
}

} // namespace
