// The sound objects against the software DirectSound, whose clock the tests
// advance sample by sample: what LoadSounds builds and ReleaseSounds gives
// back (reference counts included), how voices are picked, rotated, restored
// and refilled, and every row of the failure table, each made by naming the
// fault it injects. The clips are found in the test program itself.
#include "sound/SoundObjects.h"

#include "platform/SoftDirectSound.h"
#include "tests/support/BufferContents.h"
#include "sound/WaveResource.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>
#include <vector>

namespace {

struct Clip {
    BYTE* Data = nullptr;
    DWORD Bytes = 0;
};

Clip ReadClip(LPCSTR name)
{
    Clip clip;
    WAVEFORMATEX* format = nullptr;
    EXPECT_EQ(ReadWaveResource(nullptr, name, &format, &clip.Data, &clip.Bytes), 1) << name;
    return clip;
}

int16_t Heard(BYTE sample)
{
    return static_cast<int16_t>((sample - 128) * 256);
}

SoundObject* const SentinelObject = reinterpret_cast<SoundObject*>(0x50);

DWORD Status(LPDIRECTSOUNDBUFFER voice)
{
    DWORD status = 0xFFFF;
    EXPECT_EQ(voice->GetStatus(&status), DS_OK);
    return status;
}

DWORD Position(LPDIRECTSOUNDBUFFER voice)
{
    DWORD play = 0xFFFF;
    EXPECT_EQ(voice->GetCurrentPosition(&play, nullptr), DS_OK);
    return play;
}

std::vector<BYTE> Bytes(const Clip& clip)
{
    return std::vector<BYTE>(clip.Data, clip.Data + clip.Bytes);
}

// Every test starts and ends with no device, no buffer and no fault.
class SoundLayer : public ::testing::Test {
protected:
    Clip wave1;
    Clip wave2;

    void SetUp() override
    {
        SoftDirectSoundClearFaults();
        ASSERT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device outlived the test before";
        ASSERT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer outlived the test before";
        ASSERT_EQ(SoundDevice, nullptr);
        wave1 = ReadClip("Wave1");
        wave2 = ReadClip("Wave2");
        ASSERT_EQ(wave1.Bytes, 2924u);
        ASSERT_EQ(wave2.Bytes, 3784u);
    }

    void TearDown() override
    {
        SoftDirectSoundClearFaults();
        ReleaseSounds(SoundList);
        EXPECT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device was leaked";
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a voice was leaked";
    }
};

// Tests that drive the objects directly on a device of their own.
class SoundObjects : public SoundLayer {
protected:
    LPDIRECTSOUND device = nullptr;

    void SetUp() override
    {
        SoundLayer::SetUp();
        if (HasFatalFailure())
            return;
        ResourceModule = nullptr;
        ASSERT_EQ(SoftDirectSoundCreate(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    }

    void TearDown() override
    {
        if (device)
            EXPECT_EQ(device->Release(), 0u) << "the test's device reference";
        SoundLayer::TearDown();
    }

    std::vector<int16_t> Track()
    {
        DWORD n = 0;
        const int16_t* t = SoftDirectSoundTrack(device, &n);
        return t ? std::vector<int16_t>(t, t + n) : std::vector<int16_t>();
    }

    // The clip as heard from track sample `start` on, for `count` samples.
    void ExpectHeard(const Clip& clip, DWORD start, DWORD count, DWORD clipStart = 0)
    {
        std::vector<int16_t> track = Track();
        ASSERT_GE(track.size(), static_cast<size_t>(start) + count);
        for (DWORD i = 0; i < count; ++i)
            ASSERT_EQ(track[start + i], Heard(clip.Data[clipStart + i]))
                << "track sample " << start + i << ", clip sample " << clipStart + i;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Loading and releasing

TEST_F(SoundLayer, TheListHoldsWave1ThenWave2ThenNull)
{
    ASSERT_EQ(SoundList[0], &Wave1Sound);
    ASSERT_EQ(SoundList[1], &Wave2Sound);
    EXPECT_EQ(SoundList[2], nullptr);
    char name[36] = "Wave1";
    EXPECT_EQ(memcmp(Wave1Sound.Name, name, sizeof name), 0) << "\"Wave1\", zero-filled";
    memcpy(name, "Wave2", 5);
    EXPECT_EQ(memcmp(Wave2Sound.Name, name, sizeof name), 0) << "\"Wave2\", zero-filled";
    EXPECT_EQ(Wave1Sound.Object, nullptr);
    EXPECT_EQ(Wave2Sound.Object, nullptr);
}

TEST_F(SoundLayer, LoadSoundsBuildsOneVoiceEachAndReleaseSoundsGivesEverythingBack)
{
    LoadSounds(SoundList);
    ASSERT_NE(SoundDevice, nullptr);
    // A test program is not named Lumivane.gau; the clips are found in the
    // program itself.
    EXPECT_EQ(ResourceModule, nullptr);
    EXPECT_EQ(SoftDirectSoundCooperativeLevel(SoundDevice), static_cast<DWORD>(DSSCL_NORMAL));

    SoundObject* one = Wave1Sound.Object;
    SoundObject* two = Wave2Sound.Object;
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(one->VoiceCount, 1);
    EXPECT_EQ(one->CurrentVoice, 0);
    EXPECT_EQ(one->WaveData, wave1.Data) << "read in place, not copied";
    EXPECT_EQ(one->WaveBytes, 2924u);
    EXPECT_EQ(two->WaveData, wave2.Data);
    EXPECT_EQ(two->WaveBytes, 3784u);
    ASSERT_NE(one->Voices[0], nullptr);
    ASSERT_NE(two->Voices[0], nullptr);
    EXPECT_EQ(SoftDirectSoundDeviceBuffers(SoundDevice), 2);
    EXPECT_EQ(SoftDirectSoundReferences(SoundDevice), 1u);
    EXPECT_EQ(SoftDirectSoundReferences(one->Voices[0]), 1u);
    EXPECT_EQ(SoftDirectSoundReferences(two->Voices[0]), 1u);

    // Our own references show whether the layer gave back every one of its.
    LPDIRECTSOUND device = SoundDevice;
    LPDIRECTSOUNDBUFFER voice1 = one->Voices[0];
    LPDIRECTSOUNDBUFFER voice2 = two->Voices[0];
    device->AddRef();
    voice1->AddRef();
    voice2->AddRef();
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoundDevice, nullptr);
    EXPECT_EQ(Wave1Sound.Object, nullptr);
    EXPECT_EQ(Wave2Sound.Object, nullptr);
    EXPECT_EQ(voice1->Release(), 0u) << "Wave1's voice after ReleaseSounds";
    EXPECT_EQ(voice2->Release(), 0u) << "Wave2's voice after ReleaseSounds";
    EXPECT_EQ(device->Release(), 0u) << "the device after ReleaseSounds";
}

TEST_F(SoundLayer, ReleaseSoundsReleasesPlayingVoicesWithoutStoppingThem)
{
    LoadSounds(SoundList);
    ASSERT_NE(Wave1Sound.Object, nullptr);
    EXPECT_EQ(PlaySoundObject(Wave1Sound.Object, 0), 1);
    EXPECT_EQ(PlaySoundObject(Wave2Sound.Object, DSBPLAY_LOOPING), 1);
    ReleaseSounds(SoundList);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 0);
}

// Without a device, or with one whose cooperative level cannot be set (which
// is released), LoadSounds touches no descriptor, and ReleaseSounds, with no
// device, touches none either.
TEST_F(SoundLayer, ADeviceThatFailsLoadsNothingAndReleaseDoesNothing)
{
    for (const SoftDirectSoundFault fault : {SoftFaultCreateDevice, SoftFaultCooperativeLevel}) {
        SCOPED_TRACE(fault == SoftFaultCreateDevice ? "no device" : "no cooperative level");
        SoundDescriptor first = {"Wave1", SentinelObject};
        SoundDescriptor second = {"Wave2", SentinelObject};
        SoundDescriptor* list[] = {&first, &second, nullptr};
        SoftDirectSoundInjectFault(fault, 0, 1);
        LoadSounds(list);
        EXPECT_EQ(SoftDirectSoundFaultsHit(fault), 1);
        EXPECT_EQ(SoundDevice, nullptr);
        EXPECT_EQ(SoftDirectSoundLiveDevices(), 0) << "the device after the failure";
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
        EXPECT_EQ(first.Object, SentinelObject) << "LoadSounds touched a descriptor without a device";
        EXPECT_EQ(second.Object, SentinelObject);
        ReleaseSounds(list);
        EXPECT_EQ(first.Object, SentinelObject) << "ReleaseSounds touched a descriptor without a device";
        EXPECT_EQ(second.Object, SentinelObject);
    }
}

TEST_F(SoundLayer, AMissingResourceLeavesOnlyItsDescriptorEmpty)
{
    SoundDescriptor missing = {"Wave3", SentinelObject};
    SoundDescriptor present = {"Wave2", nullptr};
    SoundDescriptor* list[] = {&missing, &present, nullptr};
    LoadSounds(list);
    ASSERT_NE(SoundDevice, nullptr);
    EXPECT_EQ(missing.Object, nullptr) << "a null result is stored";
    ASSERT_NE(present.Object, nullptr) << "the descriptor after a missing one";
    EXPECT_EQ(present.Object->WaveBytes, 3784u);
    ReleaseSounds(list);
    EXPECT_EQ(present.Object, nullptr);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
}

TEST_F(SoundLayer, ASecondReleaseSoundsChangesNothing)
{
    LoadSounds(SoundList);
    ReleaseSounds(SoundList);
    Wave1Sound.Object = SentinelObject;
    ReleaseSounds(SoundList);
    EXPECT_EQ(Wave1Sound.Object, SentinelObject);
    Wave1Sound.Object = nullptr;
}

// ---------------------------------------------------------------------------
// Building objects and voices

TEST_F(SoundObjects, AVoiceIsAStaticBufferFilledWithTheClip)
{
    LPDIRECTSOUNDBUFFER voice = CreateVoiceBuffer(device, "Wave1");
    ASSERT_NE(voice, nullptr);
    DSBCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    ASSERT_EQ(voice->GetCaps(&caps), DS_OK);
    const DWORD asked = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME
        | DSBCAPS_GETCURRENTPOSITION2;
    EXPECT_EQ(asked, 0x100E2u);
    EXPECT_EQ(caps.dwFlags & asked, asked);
    EXPECT_EQ(caps.dwBufferBytes, 2924u);
    WAVEFORMATEX format;
    ASSERT_EQ(voice->GetFormat(&format, sizeof format, nullptr), DS_OK);
    EXPECT_EQ(format.nSamplesPerSec, 11025u);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(format.wBitsPerSample, 8);
    EXPECT_EQ(Contents(voice), Bytes(wave1));
    EXPECT_EQ(voice->Release(), 0u);
}

TEST_F(SoundObjects, NamesAreFoundWithoutRegardToCase)
{
    SoundObject* lower = CreateSoundObject(device, "wave1", 1);
    SoundObject* upper = CreateSoundObject(device, "WAVE1", 1);
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(lower->Voices[0], nullptr);
    EXPECT_EQ(upper->WaveBytes, 2924u);
    ReleaseSoundObject(lower);
    ReleaseSoundObject(upper);
}

TEST_F(SoundObjects, AMissingResourceBuildsNothing)
{
    EXPECT_EQ(CreateSoundObject(device, "Wave3", 1), nullptr);
    EXPECT_EQ(CreateVoiceBuffer(device, "Wave3"), nullptr);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
}

TEST_F(SoundObjects, ZeroOrNegativeVoicesBuildOne)
{
    for (int voices : {0, -1, INT_MIN}) {
        SoundObject* object = CreateSoundObject(device, "Wave1", voices);
        ASSERT_NE(object, nullptr) << voices << " voices";
        EXPECT_EQ(object->VoiceCount, 1) << voices << " voices";
        EXPECT_NE(object->Voices[0], nullptr);
        EXPECT_EQ(SoftDirectSoundDeviceBuffers(device), 1);
        ReleaseSoundObject(object);
    }
}

TEST_F(SoundObjects, FurtherVoicesAreDuplicatesSharingTheFirstOnesMemory)
{
    SoundObject* object = CreateSoundObject(device, "Wave1", 3);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->VoiceCount, 3);
    EXPECT_EQ(object->CurrentVoice, 0);
    for (int i = 1; i < 3; ++i) {
        ASSERT_NE(object->Voices[i], nullptr);
        EXPECT_TRUE(SoftDirectSoundSharesMemory(object->Voices[0], object->Voices[i])) << "voice " << i;
        EXPECT_EQ(SoftDirectSoundReferences(object->Voices[i]), 1u);
    }
    EXPECT_EQ(SoftDirectSoundDeviceBuffers(device), 3);
    ReleaseSoundObject(object);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
}

TEST_F(SoundObjects, AFailedDuplicationMakesAFreshFilledVoice)
{
    SoftDirectSoundInjectFault(SoftFaultDuplicate, 0, 1);
    SoundObject* object = CreateSoundObject(device, "Wave1", 2);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultDuplicate), 1);
    ASSERT_NE(object->Voices[1], nullptr);
    EXPECT_FALSE(SoftDirectSoundSharesMemory(object->Voices[0], object->Voices[1]));
    EXPECT_EQ(Contents(object->Voices[1]), Bytes(wave1));
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, AFurtherVoiceThatCanNeitherBeDuplicatedNorCreatedFailsTheObject)
{
    // The first voice is created; the second's duplication and its fresh
    // buffer both fail.
    SoftDirectSoundInjectFault(SoftFaultDuplicate, 0, 1);
    SoftDirectSoundInjectFault(SoftFaultCreateBuffer, 1, 1);
    EXPECT_EQ(CreateSoundObject(device, "Wave1", 2), nullptr);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultCreateBuffer), 1);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "the first voice of the failed object";
}

TEST_F(SoundObjects, AFirstVoiceThatCannotBeCreatedLeavesASilentObject)
{
    SoftDirectSoundInjectFault(SoftFaultCreateBuffer, 0, 1);
    SoundObject* object = CreateSoundObject(device, "Wave1", 1);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->Voices[0], nullptr);
    EXPECT_EQ(object->WaveBytes, 2924u);
    EXPECT_EQ(PlaySoundObject(object, 0), 0);
    EXPECT_EQ(PlaySoundObject(object, 0), 0) << "the second attempt";
    EXPECT_EQ(PickVoice(object), nullptr);
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, AVoiceThatCannotBeFilledIsReleased)
{
    SoftDirectSoundInjectFault(SoftFaultLock, 0, 1);
    EXPECT_EQ(CreateVoiceBuffer(device, "Wave1"), nullptr);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultLock), 1);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << "the buffer whose fill failed";
}

TEST_F(SoundObjects, ABlockThatCannotBeAllocatedBuildsNothing)
{
    // INT_MAX voice pointers need more than a 32-bit LocalAlloc can give, so
    // the block is never asked for; nor is one of exactly 4 GB, which a
    // 32-bit size would carry as 0. In a 32-bit process a block just under
    // 4 GB can be asked for, and LocalAlloc refuses it.
    static_assert((0x100000000ull - sizeof(SoundObject)) % sizeof(void*) == 0, "a count that makes exactly 4 GB");
    std::vector<int> voices = {INT_MAX, int((0x100000000ull - sizeof(SoundObject)) / sizeof(void*))};
    if (sizeof(void*) == 4)
        voices.push_back(int((0xFFFFFFFFu - sizeof(SoundObject)) / sizeof(void*)));
    for (int count : voices) {
        EXPECT_EQ(CreateSoundObject(device, "Wave1", count), nullptr) << count << " voices";
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0) << count << " voices";
    }
}

TEST_F(SoundObjects, AFillInTwoRegionsWritesTheWholeClip)
{
    // A device whose memory comes in pieces hands the clip out as its first
    // region's bytes and then the rest: the second piece one byte long, the
    // first one byte long, a split part way, none.
    for (DWORD split : {1000u, 2923u, 1u, 0u}) {
        SoftDirectSoundSplitLocks(device, split);
        SoundObject* object = CreateSoundObject(device, "Wave1", 1);
        SoftDirectSoundSplitLocks(device, 0);
        ASSERT_NE(object, nullptr) << "split after " << split;
        EXPECT_EQ(Contents(object->Voices[0]), Bytes(wave1)) << "split after " << split;
        ReleaseSoundObject(object);
    }
}

TEST_F(SoundObjects, AVoiceLostPartWayIsRefilledAndPlayedFromItsFirstByte)
{
    // The loss leaves the voice's cursors where the play stopped; the clip
    // still goes back from the start of the buffer, and the call-out after
    // it sounds whole: the one voice, and the next of two while the other
    // sounds.
    for (int voices : {1, 2}) {
        SCOPED_TRACE(voices);
        SoundObject* object = CreateSoundObject(device, "Wave1", voices);
        ASSERT_NE(object, nullptr);
        for (int play = 0; play < voices; ++play)
            ASSERT_EQ(PlaySoundObject(object, 0), 1);
        SoftDirectSoundAdvance(device, 1000);
        LPDIRECTSOUNDBUFFER lost = object->Voices[0];
        ASSERT_TRUE(SoftDirectSoundLoseBuffer(lost));
        ASSERT_EQ(PlaySoundObject(object, 0), 1);
        EXPECT_EQ(object->CurrentVoice, 0);
        DWORD played = 1, written = 1;
        ASSERT_EQ(lost->GetCurrentPosition(&played, &written), DS_OK);
        EXPECT_EQ(played, 0u) << "started from its first byte";
        if (voices == 1) {
            SoftDirectSoundAdvance(device, 2924);
            ExpectHeard(wave1, 1000, 2924);
        }
        ASSERT_EQ(lost->Stop(), DS_OK);
        EXPECT_EQ(Contents(lost), Bytes(wave1));
        ReleaseSoundObject(object);
    }
}

TEST_F(SoundObjects, NullObjectsAndEmptyFillsAreAccepted)
{
    EXPECT_EQ(PlaySoundObject(nullptr, 0), 0);
    EXPECT_EQ(PlaySoundObject(nullptr, DSBPLAY_LOOPING), 0);
    EXPECT_EQ(PickVoice(nullptr), nullptr);
    ReleaseSoundObject(nullptr);

    LPDIRECTSOUNDBUFFER voice = CreateVoiceBuffer(device, "Wave1");
    ASSERT_NE(voice, nullptr);
    EXPECT_EQ(FillVoiceBuffer(nullptr, wave1.Data, wave1.Bytes), 0);
    EXPECT_EQ(FillVoiceBuffer(voice, nullptr, wave1.Bytes), 0);
    EXPECT_EQ(FillVoiceBuffer(voice, wave1.Data, 0), 0);
    EXPECT_EQ(FillVoiceBuffer(voice, wave1.Data, 1), 1) << "a clip of one byte";
    EXPECT_EQ(voice->Release(), 0u);
}

// ---------------------------------------------------------------------------
// Playing

TEST_F(SoundObjects, ABusyOneVoiceSoundDropsTheRequestForItsWhole265Ms)
{
    SoundObject* object = CreateSoundObject(device, "Wave1", 1);
    ASSERT_NE(object, nullptr);
    LPDIRECTSOUNDBUFFER voice = object->Voices[0];
    ASSERT_EQ(PlaySoundObject(object, 0), 1);

    // The beep is over after 697 samples; the silent tail still counts.
    SoftDirectSoundAdvance(device, 697);
    EXPECT_EQ(PlaySoundObject(object, 0), 0) << "right after the beep";
    SoftDirectSoundAdvanceMilliseconds(device, 200);
    EXPECT_EQ(PlaySoundObject(object, 0), 0) << "in the silent tail";
    SoftDirectSoundAdvance(device, 2923 - 697 - 2205);
    EXPECT_EQ(Position(voice), 2923u);
    EXPECT_EQ(PlaySoundObject(object, 0), 0) << "on the last sample";
    EXPECT_EQ(Status(voice), static_cast<DWORD>(DSBSTATUS_PLAYING));
    SoftDirectSoundAdvance(device, 1);
    ExpectHeard(wave1, 0, 2924);

    // Over: the next request plays it again from its start.
    EXPECT_EQ(Status(voice), 0u);
    ASSERT_EQ(PlaySoundObject(object, 0), 1);
    SoftDirectSoundAdvance(device, 800);
    ExpectHeard(wave1, 2924, 800);
    EXPECT_EQ(object->CurrentVoice, 0);
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, TwoVoicesRotateAndTheOldestIsCutOffAndRewound)
{
    SoundObject* object = CreateSoundObject(device, "Wave1", 2);
    ASSERT_NE(object, nullptr);
    LPDIRECTSOUNDBUFFER first = object->Voices[0];
    LPDIRECTSOUNDBUFFER second = object->Voices[1];

    ASSERT_EQ(PlaySoundObject(object, 0), 1);
    EXPECT_EQ(object->CurrentVoice, 0);
    SoftDirectSoundAdvance(device, 100);

    ASSERT_EQ(PlaySoundObject(object, 0), 1) << "while voice 0 sounds";
    EXPECT_EQ(object->CurrentVoice, 1);
    EXPECT_EQ(Status(second), static_cast<DWORD>(DSBSTATUS_PLAYING));
    EXPECT_EQ(Position(first), 100u) << "voice 0 goes on";
    SoftDirectSoundAdvance(device, 100);

    ASSERT_EQ(PlaySoundObject(object, 0), 1) << "while both sound";
    EXPECT_EQ(object->CurrentVoice, 0);
    EXPECT_EQ(Position(first), 0u) << "the oldest play is rewound";
    EXPECT_EQ(Status(first), static_cast<DWORD>(DSBSTATUS_PLAYING)) << "and started again";
    EXPECT_EQ(Position(second), 100u);

    // Voice 1 ends first; the next play moves on to it, since voice 0
    // still sounds, and starts it afresh without touching voice 0.
    SoftDirectSoundAdvance(device, 2824);
    EXPECT_EQ(Status(second), 0u);
    EXPECT_EQ(Position(first), 2824u);
    ASSERT_EQ(PlaySoundObject(object, 0), 1);
    EXPECT_EQ(object->CurrentVoice, 1);
    EXPECT_EQ(Position(second), 0u);
    EXPECT_EQ(Position(first), 2824u);

    // Both over: voice 1 is used again without moving on.
    SoftDirectSoundAdvance(device, 2924);
    EXPECT_EQ(Status(first), 0u);
    EXPECT_EQ(Status(second), 0u);
    ASSERT_EQ(PlaySoundObject(object, 0), 1);
    EXPECT_EQ(object->CurrentVoice, 1);
    EXPECT_EQ(Status(second), static_cast<DWORD>(DSBSTATUS_PLAYING));
    EXPECT_EQ(Status(first), 0u);

    // The track is the sum of the plays as they were started and cut.
    std::vector<int16_t> track = Track();
    ASSERT_GE(track.size(), 200u + 2824u);
    for (DWORD t = 0; t < 100; ++t)
        ASSERT_EQ(track[t], Heard(wave1.Data[t])) << "tick " << t;
    for (DWORD t = 100; t < 200; ++t)
        ASSERT_EQ(track[t], Heard(wave1.Data[t]) + Heard(wave1.Data[t - 100])) << "tick " << t;
    for (DWORD t = 200; t < 300; ++t)
        ASSERT_EQ(track[t], Heard(wave1.Data[t - 200]) + Heard(wave1.Data[t - 100])) << "tick " << t;
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, LoopingIsRefusedOnTwoVoicesAndLoopsOnOne)
{
    SoundObject* two = CreateSoundObject(device, "Wave1", 2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(PlaySoundObject(two, DSBPLAY_LOOPING), 0);
    EXPECT_EQ(Status(two->Voices[0]), 0u);
    EXPECT_EQ(Status(two->Voices[1]), 0u);
    EXPECT_EQ(two->CurrentVoice, 0);

    SoundObject* one = CreateSoundObject(device, "Wave1", 1);
    ASSERT_NE(one, nullptr);
    ASSERT_EQ(PlaySoundObject(one, DSBPLAY_LOOPING), 1);
    SoftDirectSoundAdvance(device, 3 * 2924 + 5);
    EXPECT_EQ(Status(one->Voices[0]), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    ExpectHeard(wave1, 2 * 2924, 2924);
    EXPECT_EQ(PlaySoundObject(one, 0), 0) << "a looping one-voice sound is busy";
    ReleaseSoundObject(two);
    ReleaseSoundObject(one);
}

// One play after `plays` earlier ones, `apart` samples apart, with voice
// `lose` lost before it and one fault of the device's, if any, set for it:
// what the play answers, which voice it leaves current, each voice's status
// and position afterwards, and what the next play, with no fault, answers.
// A voice that sounds holds the whole clip.
TEST_F(SoundObjects, APlayAfterALossOrAFaultAnswersAndLeavesItsVoicesAsTheRowSays)
{
    const int NoFault = -1, NoLoss = -1;
    const DWORD Playing = DSBSTATUS_PLAYING;
    const struct {
        const char* what;
        int voices, plays;
        DWORD apart;
        int lose, fault, skip;
        int result, current;
        DWORD status[2], position[2];
        int next;
    } rows[] = {
        {"a lost voice is restored and refilled before it plays", 1, 0, 0, 0, NoFault, 0, 1, 0, {Playing}, {0}, 0},
        {"a lost duplicate is refilled through its own lock", 2, 1, 10, 1, NoFault, 0, 1, 1, {Playing, Playing},
            {10, 0}, 1},
        {"a failed play answers 0, and the next starts", 1, 0, 0, NoLoss, SoftFaultPlay, 0, 0, 0, {0}, {0}, 1},
        {"the oldest play is cut off even when the new one fails to start", 2, 2, 10, NoLoss, SoftFaultPlay, 0, 0, 0,
            {0, Playing}, {0, 10}, 1},
        // Taken as not playing, the busy voice is asked to play again, which
        // a device does by going on from where it is.
        {"a status that cannot be read counts as idle", 1, 1, 50, NoLoss, SoftFaultGetStatus, 0, 1, 0, {Playing},
            {50}, 0},
        // Voice 1's query works; voice 0's, after the rotation, does not.
        {"when the next voice cannot be asked it is neither stopped nor rewound", 2, 2, 10, NoLoss,
            SoftFaultGetStatus, 1, 1, 0, {Playing, Playing}, {20, 10}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SoundObject* object = CreateSoundObject(device, "Wave1", row.voices);
        ASSERT_NE(object, nullptr);
        for (int play = 0; play < row.plays; ++play) {
            ASSERT_EQ(PlaySoundObject(object, 0), 1) << "play " << play + 1 << " before";
            SoftDirectSoundAdvance(device, row.apart);
        }
        if (row.lose != NoLoss)
            ASSERT_TRUE(SoftDirectSoundLoseBuffer(object->Voices[row.lose]));
        if (row.fault != NoFault)
            SoftDirectSoundInjectFault(SoftDirectSoundFault(row.fault), row.skip, 1);
        EXPECT_EQ(PlaySoundObject(object, 0), row.result);
        if (row.fault != NoFault)
            EXPECT_EQ(SoftDirectSoundFaultsHit(SoftDirectSoundFault(row.fault)), 1) << "the fault used";
        SoftDirectSoundClearFaults();
        EXPECT_EQ(object->CurrentVoice, row.current);
        for (int v = 0; v < row.voices; ++v) {
            EXPECT_EQ(Status(object->Voices[v]), row.status[v]) << "voice " << v << "'s status";
            EXPECT_EQ(Position(object->Voices[v]), row.position[v]) << "voice " << v << "'s position";
            if (row.status[v] & DSBSTATUS_PLAYING)
                EXPECT_EQ(Contents(object->Voices[v]), Bytes(wave1)) << "voice " << v << " sounds the whole clip";
        }
        EXPECT_EQ(PlaySoundObject(object, 0), row.next) << "the next play";
        ReleaseSoundObject(object);
    }
}

TEST_F(SoundObjects, AFailedRestoreLeavesTheVoiceLostUntilTheNextTry)
{
    SoundObject* object = CreateSoundObject(device, "Wave1", 1);
    ASSERT_NE(object, nullptr);
    LPDIRECTSOUNDBUFFER voice = object->Voices[0];
    ASSERT_TRUE(SoftDirectSoundLoseBuffer(voice));
    SoftDirectSoundInjectFault(SoftFaultRestore, 0, 1);
    EXPECT_EQ(PlaySoundObject(object, 0), 0);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultRestore), 1);
    EXPECT_EQ(Status(voice), static_cast<DWORD>(DSBSTATUS_BUFFERLOST));
    SoftDirectSoundAdvance(device, 100);

    ASSERT_EQ(PlaySoundObject(object, 0), 1) << "the next try";
    SoftDirectSoundAdvance(device, 2924);
    std::vector<int16_t> track = Track();
    for (DWORD t = 0; t < 100; ++t)
        ASSERT_EQ(track[t], 0) << "tick " << t << " while the voice was lost";
    ExpectHeard(wave1, 100, 2924);
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, AFailedRefillDropsThePlay)
{
    SoundObject* object = CreateSoundObject(device, "Wave1", 1);
    ASSERT_NE(object, nullptr);
    ASSERT_TRUE(SoftDirectSoundLoseBuffer(object->Voices[0]));
    SoftDirectSoundInjectFault(SoftFaultLock, 0, 1);
    EXPECT_EQ(PlaySoundObject(object, 0), 0);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultLock), 1);
    EXPECT_EQ(Status(object->Voices[0]), 0u) << "restored, not refilled, not playing";
    // Restored, the voice no longer says it is lost; the refill is still owed
    // before it may sound.
    SoftDirectSoundInjectFault(SoftFaultLock, 0, 1);
    EXPECT_EQ(PlaySoundObject(object, 0), 0) << "a second failed refill drops the play too";
    EXPECT_EQ(PlaySoundObject(object, 0), 1);
    EXPECT_EQ(Contents(object->Voices[0]), std::vector<BYTE>(object->WaveData, object->WaveData + object->WaveBytes))
        << "refilled before it played";
    // Filled once, it is not written again: a later play locks nothing.
    SoftDirectSoundAdvance(device, 2924);
    SoftDirectSoundInjectFault(SoftFaultLock, 0, SOFT_FAULT_ALWAYS);
    EXPECT_EQ(PlaySoundObject(object, 0), 1);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultLock), 0);
    SoftDirectSoundClearFaults();
    ReleaseSoundObject(object);
}

TEST_F(SoundObjects, Wave2IsTheDoubleBeepPlayedOnce)
{
    SoundObject* object = CreateSoundObject(device, "Wave2", 1);
    ASSERT_NE(object, nullptr);
    ASSERT_EQ(PlaySoundObject(object, 0), 1);
    SoftDirectSoundAdvance(device, 3784 + 100);
    ExpectHeard(wave2, 0, 3784);
    std::vector<int16_t> track = Track();
    for (DWORD t = 3784; t < 3884; ++t)
        ASSERT_EQ(track[t], 0) << "tick " << t << ", after the clip";
    ReleaseSoundObject(object);
}
