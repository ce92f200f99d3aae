// The sound tap answers a module's buffer calls as DirectSound does, whatever
// the module passes: one row a call, with what it must return, how many
// buffers the device behind the tap holds after it, and what the tap notes.
// A module that gives no place for the new buffer is refused, not crashed
// into, and nothing is created for it. On the software device in both builds.
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"
#include "tests/bench/TestModule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum Call { Create, Duplicate };
enum Noted { Nothing, Refused, Created, DuplicateNoted };

struct TapRow {
    const char* What;
    Call Kind;
    bool Description; // Create: a valid description, else null
    bool Original;    // Duplicate: a buffer of the tap, else null
    bool Place;       // where the new buffer goes, else null
    HRESULT Result;
    int Made;         // buffers the device holds afterwards, beyond before
    Noted Note;
};

const TapRow Rows[] = {
    {"a buffer", Create, true, false, true, DS_OK, 1, Created},
    {"a buffer with no place for it", Create, true, false, false, DSERR_INVALIDPARAM, 0, Refused},
    {"a buffer of no description", Create, false, false, true, DSERR_INVALIDPARAM, 0, Refused},
    {"a buffer of nothing, with no place", Create, false, false, false, DSERR_INVALIDPARAM, 0, Refused},
    {"a duplicate", Duplicate, false, true, true, DS_OK, 1, DuplicateNoted},
    {"a duplicate with no place for it", Duplicate, false, true, false, DSERR_INVALIDPARAM, 0, Nothing},
    {"a duplicate of nothing", Duplicate, false, false, true, DSERR_INVALIDPARAM, 0, Nothing},
    {"a duplicate of nothing, with no place", Duplicate, false, false, false, DSERR_INVALIDPARAM, 0, Nothing},
};

} // namespace

TEST(SoundTap, BufferCallsAreAnsweredAsDirectSoundAnswersThem)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    ASSERT_TRUE(TapDirectSound(module, true)) << "the tap in front of the software device";
    const int buffersBefore = SoftDirectSoundLiveBuffers();
    LPDIRECTSOUND device = nullptr;
    ASSERT_EQ(TappedDirectSoundCreate(nullptr, &device, nullptr), DS_OK);

    WAVEFORMATEX format = {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    DSBUFFERDESC description = {};
    description.dwSize = sizeof description;
    description.dwBufferBytes = 64;
    description.lpwfxFormat = &format;
    LPDIRECTSOUNDBUFFER original = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&description, &original, nullptr), DS_OK);

    for (const TapRow& row : Rows) {
        ClearSoundEvents();
        const int before = SoftDirectSoundLiveBuffers();
        LPDIRECTSOUNDBUFFER made = nullptr;
        LPDIRECTSOUNDBUFFER* place = row.Place ? &made : nullptr;
        const HRESULT result = row.Kind == Create
            ? device->CreateSoundBuffer(row.Description ? &description : nullptr, place, nullptr)
            : device->DuplicateSoundBuffer(row.Original ? original : nullptr, place);
        EXPECT_EQ(result, row.Result) << row.What;
        EXPECT_EQ(SoftDirectSoundLiveBuffers() - before, row.Made) << row.What << ": buffers made";
        EXPECT_EQ(made != nullptr, row.Made == 1) << row.What << ": a buffer handed out";
        const std::vector<SoundEvent>& events = SoundEvents();
        if (row.Note == Nothing) {
            EXPECT_TRUE(events.empty()) << row.What << ": nothing noted";
        } else {
            ASSERT_EQ(events.size(), 1u) << row.What;
            const SoundEvent& e = events[0];
            EXPECT_EQ(e.What, row.Note == DuplicateNoted ? SoundEvent::Duplicated : SoundEvent::BufferCreated)
                << row.What;
            EXPECT_EQ(e.Result, long(row.Result)) << row.What << ": the result noted";
            EXPECT_EQ(e.Buffer >= 0, row.Note != Refused) << row.What << ": a buffer's number only when one is made";
        }
        if (made)
            EXPECT_EQ(made->Release(), 0u) << row.What << ": the made buffer's last reference";
    }
    EXPECT_EQ(original->Release(), 0u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), buffersBefore) << "every buffer given back";
}
