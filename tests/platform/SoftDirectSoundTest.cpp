// The software DirectSound on its own: the results the sound layer relies on
// (static buffers, locks in one or two regions, one-shot and looping play on
// the caller's clock, shared duplicates, loss and restore, reference counts),
// the refusals that must leave no trace, and every fault switch; then locks
// and cursors across the end of buffers of every format, in bytes of whole
// frames, as tables and against a small model of the device. The same
// source runs in both builds, since both builds' tests play through it.
#include "platform/SoftDirectSound.h"
#include "tests/support/BufferContents.h"

#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <vector>

namespace {

WAVEFORMATEX Pcm(WORD channels, WORD bits, DWORD rate)
{
    WAVEFORMATEX f;
    memset(&f, 0, sizeof f);
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

const DWORD VoiceFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME
    | DSBCAPS_GETCURRENTPOSITION2;

DSBUFFERDESC Description(WAVEFORMATEX* format, DWORD bytes, DWORD flags = VoiceFlags)
{
    DSBUFFERDESC d;
    memset(&d, 0, sizeof d);
    d.dwSize = 20;
    d.dwFlags = flags;
    d.dwBufferBytes = bytes;
    d.lpwfxFormat = format;
    return d;
}

// An 8-bit ramp that never repeats within 200 bytes and never sits at the
// midpoint, so any misplaced or missing byte shows.
std::vector<BYTE> Ramp(DWORD bytes)
{
    std::vector<BYTE> r(bytes);
    for (DWORD i = 0; i < bytes; ++i)
        r[i] = static_cast<BYTE>(i % 200 + 10);
    return r;
}

int16_t Heard(BYTE sample)
{
    return static_cast<int16_t>((sample - 128) * 256);
}

LPDIRECTSOUNDBUFFER const Untouched = reinterpret_cast<LPDIRECTSOUNDBUFFER>(0x40);

// The two regions a lock hands out, nothing until it does.
struct Regions {
    LPVOID P1 = nullptr, P2 = nullptr;
    DWORD N1 = 0, N2 = 0;

    // Locks `bytes` of `b` from `offset`; without `first` or `second` the
    // lock is given no place for that region.
    HRESULT Lock(LPDIRECTSOUNDBUFFER b, DWORD offset, DWORD bytes, bool first = true, bool second = true)
    {
        return b->Lock(offset, bytes, first ? &P1 : nullptr, &N1, second ? &P2 : nullptr, second ? &N2 : nullptr, 0);
    }
    HRESULT Unlock(LPDIRECTSOUNDBUFFER b) { return b->Unlock(P1, N1, P2, N2); }
};

class SoftDevice : public ::testing::Test {
protected:
    LPDIRECTSOUND device = nullptr;
    WAVEFORMATEX mono8 = Pcm(1, 8, 11025);

    void SetUp() override
    {
        SoftDirectSoundClearFaults();
        ASSERT_EQ(SoftDirectSoundLiveDevices(), 0) << "a device outlived the test before";
        ASSERT_EQ(SoftDirectSoundLiveBuffers(), 0) << "a buffer outlived the test before";
        ASSERT_EQ(SoftDirectSoundCreate(nullptr, &device, nullptr), DS_OK);
        ASSERT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    }

    void TearDown() override
    {
        SoftDirectSoundClearFaults();
        if (device)
            EXPECT_EQ(device->Release(), 0u) << "the test's own device reference";
        EXPECT_EQ(SoftDirectSoundLiveDevices(), 0);
        EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
    }

    LPDIRECTSOUNDBUFFER Make(const std::vector<BYTE>& bytes, WAVEFORMATEX* format = nullptr)
    {
        DSBUFFERDESC d = Description(format ? format : &mono8, static_cast<DWORD>(bytes.size()));
        LPDIRECTSOUNDBUFFER b = nullptr;
        EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
        if (!b)
            return nullptr;
        Write(b, bytes);
        return b;
    }

    static void Write(LPDIRECTSOUNDBUFFER b, const std::vector<BYTE>& bytes)
    {
        Regions r;
        ASSERT_EQ(r.Lock(b, 0, static_cast<DWORD>(bytes.size())), DS_OK);
        memcpy(r.P1, bytes.data(), r.N1);
        if (r.N2)
            memcpy(r.P2, bytes.data() + r.N1, r.N2);
        ASSERT_EQ(r.Unlock(b), DS_OK);
    }

    std::vector<int16_t> Track()
    {
        DWORD n = 0;
        const int16_t* t = SoftDirectSoundTrack(device, &n);
        return t ? std::vector<int16_t>(t, t + n) : std::vector<int16_t>();
    }

    static DWORD Status(LPDIRECTSOUNDBUFFER b)
    {
        DWORD s = 0xFFFF;
        EXPECT_EQ(b->GetStatus(&s), DS_OK);
        return s;
    }

    static DWORD Position(LPDIRECTSOUNDBUFFER b)
    {
        DWORD play = 0xFFFF, write = 0xFFFF;
        EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
        return play;
    }
};

} // namespace

TEST_F(SoftDevice, CreationRefusesWhatTheRealCallRefuses)
{
    LPDIRECTSOUND other = reinterpret_cast<LPDIRECTSOUND>(0x40);
    EXPECT_EQ(SoftDirectSoundCreate(nullptr, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(SoftDirectSoundCreate(nullptr, &other, device), DSERR_NOAGGREGATION);
    const GUID unknown = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(SoftDirectSoundCreate(&unknown, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(other, reinterpret_cast<LPDIRECTSOUND>(0x40)) << "a refused creation wrote its output";
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 1);

    const GUID defaultPlayback = {0xDEF00000, 0x9C6D, 0x47ED, {0xAA, 0xF1, 0x4D, 0xDA, 0x8F, 0x2B, 0x5C, 0x03}};
    ASSERT_EQ(SoftDirectSoundCreate(&defaultPlayback, &other, nullptr), DS_OK);
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 2);
    EXPECT_EQ(other->Release(), 0u);
    // GUID_NULL, like no GUID at all, asks for the default device.
    const GUID none = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    ASSERT_EQ(SoftDirectSoundCreate(&none, &other, nullptr), DS_OK);
    EXPECT_EQ(other->Release(), 0u);
}

TEST_F(SoftDevice, DeviceCreationFaultCreatesNothing)
{
    SoftDirectSoundInjectFault(SoftFaultCreateDevice, 0, 1);
    LPDIRECTSOUND other = reinterpret_cast<LPDIRECTSOUND>(0x40);
    EXPECT_EQ(SoftDirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(other, reinterpret_cast<LPDIRECTSOUND>(0x40));
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 1);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultCreateDevice), 1);
    // One failure was asked for; the next creation works.
    ASSERT_EQ(SoftDirectSoundCreate(nullptr, &other, nullptr), DS_OK);
    EXPECT_EQ(other->Release(), 0u);
}

TEST_F(SoftDevice, CooperativeLevelTakesANullWindowAndRefusesUnknownLevels)
{
    EXPECT_EQ(SoftDirectSoundCooperativeLevel(device), static_cast<DWORD>(DSSCL_NORMAL));
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, 5), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    EXPECT_EQ(SoftDirectSoundCooperativeLevel(device), static_cast<DWORD>(DSSCL_PRIORITY));

    SoftDirectSoundInjectFault(SoftFaultCooperativeLevel, 0, SOFT_FAULT_ALWAYS);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_ALLOCATED);
    EXPECT_EQ(device->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_ALLOCATED);
    EXPECT_EQ(SoftDirectSoundCooperativeLevel(device), static_cast<DWORD>(DSSCL_PRIORITY))
        << "a failed SetCooperativeLevel changed the level";
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultCooperativeLevel), 2);
}

TEST_F(SoftDevice, PlayNeedsACooperativeLevel)
{
    LPDIRECTSOUND fresh = nullptr;
    ASSERT_EQ(SoftDirectSoundCreate(nullptr, &fresh, nullptr), DS_OK);
    DSBUFFERDESC d = Description(&mono8, 100);
    LPDIRECTSOUNDBUFFER b = nullptr;
    ASSERT_EQ(fresh->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_PRIOLEVELNEEDED);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(fresh->Release(), 0u);
}

TEST_F(SoftDevice, BufferCreationRefusalsLeaveNoTrace)
{
    LPDIRECTSOUNDBUFFER b = Untouched;
    DSBUFFERDESC good = Description(&mono8, 100);
    EXPECT_EQ(device->CreateSoundBuffer(nullptr, &b, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->CreateSoundBuffer(&good, nullptr, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->CreateSoundBuffer(&good, &b, device), DSERR_NOAGGREGATION);

    DSBUFFERDESC d = good;
    d.dwSize = 16;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "dwSize 16";
    d = good;
    d.dwReserved = 1;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "dwReserved not cleared";
    d = good;
    d.lpwfxFormat = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "null format";
    d = good;
    d.dwBufferBytes = 0;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "zero length";
    d = good;
    d.dwBufferBytes = DSBSIZE_MAX + 1u;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "over DSBSIZE_MAX";
    d = good;
    d.dwFlags |= DSBCAPS_PRIMARYBUFFER;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_UNSUPPORTED) << "primary buffer";

    WAVEFORMATEX bad = mono8;
    bad.wFormatTag = 3;
    d = Description(&bad, 100);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_BADFORMAT) << "format tag 3";
    bad = mono8;
    bad.nBlockAlign = 2;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_BADFORMAT) << "block align 2 for mono 8-bit";
    bad = mono8;
    bad.wBitsPerSample = 12;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_BADFORMAT) << "12 bits";
    WAVEFORMATEX stereo16 = Pcm(2, 16, 22050);
    d = Description(&stereo16, 101);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DSERR_INVALIDPARAM) << "length not whole frames";

    EXPECT_EQ(b, Untouched) << "a refused CreateSoundBuffer wrote its output";
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 0);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultCreateBuffer), 0);
}

TEST_F(SoftDevice, BufferCreationFaultPassesThenFails)
{
    SoftDirectSoundInjectFault(SoftFaultCreateBuffer, 1, 1);
    DSBUFFERDESC d = Description(&mono8, 100);
    LPDIRECTSOUNDBUFFER first = nullptr, second = Untouched, third = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &first, nullptr), DS_OK);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &second, nullptr), DSERR_OUTOFMEMORY);
    EXPECT_EQ(second, Untouched);
    EXPECT_EQ(device->CreateSoundBuffer(&d, &third, nullptr), DS_OK);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 2);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultCreateBuffer), 1);
    EXPECT_EQ(first->Release(), 0u);
    EXPECT_EQ(third->Release(), 0u);
}

TEST_F(SoftDevice, AFreshBufferIsSilentAndDescribesItself)
{
    DSBUFFERDESC d = Description(&mono8, 2924);
    LPDIRECTSOUNDBUFFER b = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    EXPECT_EQ(SoftDirectSoundReferences(b), 1u);
    EXPECT_EQ(Contents(b), std::vector<BYTE>(2924, 128));
    EXPECT_EQ(Status(b), 0u);

    DSBCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    ASSERT_EQ(b->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags & VoiceFlags, VoiceFlags);
    EXPECT_EQ(caps.dwBufferBytes, 2924u);

    WAVEFORMATEX f;
    DWORD written = 0;
    EXPECT_EQ(b->GetFormat(nullptr, sizeof f, nullptr), DSERR_INVALIDPARAM) << "nowhere to write";
    EXPECT_EQ(b->GetFormat(&f, sizeof f - 1, &written), DSERR_INVALIDPARAM) << "too small";
    EXPECT_EQ(written, 0u);
    ASSERT_EQ(b->GetFormat(nullptr, 0, &written), DS_OK) << "the size alone";
    EXPECT_EQ(written, static_cast<DWORD>(sizeof(WAVEFORMATEX)));
    written = 0;
    ASSERT_EQ(b->GetFormat(&f, sizeof f, &written), DS_OK);
    EXPECT_EQ(written, static_cast<DWORD>(sizeof(WAVEFORMATEX)));
    EXPECT_EQ(f.nSamplesPerSec, 11025u);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.wBitsPerSample, 8);
    EXPECT_EQ(f.cbSize, 0) << "a PCM record has no extra bytes";

    DWORD frequency = 0;
    EXPECT_EQ(b->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 11025u);
    LONG volume = 1, pan = 1;
    EXPECT_EQ(b->GetVolume(&volume), DS_OK);
    EXPECT_EQ(b->GetPan(&pan), DS_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(pan, 0);

    // The parts of the interface the gauge never uses answer as a secondary
    // buffer of a real device does.
    EXPECT_EQ(b->Initialize(device, &d), DSERR_ALREADYINITIALIZED);
    EXPECT_EQ(b->SetFormat(&mono8), DSERR_INVALIDCALL);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, TheDeviceAnswersTheCallsTheGaugeDoesNotMake)
{
    DSCAPS caps;
    memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    EXPECT_EQ(device->GetCaps(&caps), DS_OK);
    // A program that asks what the device mixes is told: every PCM format,
    // at any rate, in software.
    const DWORD mixes = DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO | DSCAPS_SECONDARY8BIT |
        DSCAPS_SECONDARY16BIT | DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER;
    EXPECT_EQ(caps.dwFlags, mixes);
    EXPECT_EQ(caps.dwMinSecondarySampleRate, static_cast<DWORD>(DSBFREQUENCY_MIN));
    EXPECT_EQ(caps.dwMaxSecondarySampleRate, static_cast<DWORD>(DSBFREQUENCY_MAX));
    EXPECT_EQ(caps.dwPrimaryBuffers, 1u);
    DWORD speakers = 0;
    EXPECT_EQ(device->GetSpeakerConfig(&speakers), DS_OK);
    EXPECT_EQ(speakers, static_cast<DWORD>(DSSPEAKER_MONO));
    const DWORD stereo = 4; // DSSPEAKER_STEREO
    EXPECT_EQ(device->SetSpeakerConfig(stereo), DS_OK);
    EXPECT_EQ(device->GetSpeakerConfig(&speakers), DS_OK);
    EXPECT_EQ(speakers, stereo) << "kept as set";
    // A PCM "fmt " chunk is 16 bytes, without cbSize: only those are read
    // (the chunk sits in a block of exactly its size).
    std::unique_ptr<BYTE[]> chunk(new BYTE[16]);
    memcpy(chunk.get(), &mono8, 16);
    LPDIRECTSOUNDBUFFER fromChunk = Make(Ramp(100), reinterpret_cast<WAVEFORMATEX*>(chunk.get()));
    ASSERT_NE(fromChunk, nullptr);
    EXPECT_EQ(fromChunk->Release(), 0u);
    EXPECT_EQ(device->Compact(), DSERR_PRIOLEVELNEEDED) << "Compact at DSSCL_NORMAL";
    EXPECT_EQ(device->Initialize(nullptr), DSERR_ALREADYINITIALIZED);

    const GUID iidDirectSound = {0x279AFA83, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
    const GUID iidOther = {0x279AFA99, 0x4981, 0x11CE, {0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60}};
    void* same = nullptr;
    ASSERT_EQ(device->QueryInterface(iidDirectSound, &same), S_OK);
    EXPECT_EQ(same, static_cast<void*>(device));
    EXPECT_EQ(SoftDirectSoundReferences(device), 2u);
    EXPECT_EQ(device->Release(), 1u);
    void* none = device;
    EXPECT_EQ(device->QueryInterface(iidOther, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
}

TEST_F(SoftDevice, LockGivesOneRegionOrTwoWhenItWraps)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(300));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Contents(b), Ramp(300));

    // From offset 200 for the whole length: 100 bytes to the end, then 200
    // from the start.
    Regions r;
    ASSERT_EQ(r.Lock(b, 200, 300), DS_OK);
    EXPECT_EQ(r.N1, 100u);
    EXPECT_EQ(r.N2, 200u);
    ASSERT_NE(r.P2, nullptr);
    EXPECT_EQ(static_cast<BYTE*>(r.P1)[0], Ramp(300)[200]);
    EXPECT_EQ(static_cast<BYTE*>(r.P2)[0], Ramp(300)[0]);
    memset(r.P1, 1, r.N1);
    memset(r.P2, 2, r.N2);
    ASSERT_EQ(r.Unlock(b), DS_OK);
    std::vector<BYTE> expected(300, 2);
    memset(expected.data() + 200, 1, 100);
    EXPECT_EQ(Contents(b), expected);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, SplitLocksHandTheRestOutInTheSecondRegion)
{
    SoftDirectSoundSplitLocks(device, 64);
    LPDIRECTSOUNDBUFFER b = Make(Ramp(300));
    ASSERT_NE(b, nullptr);
    Regions r;
    ASSERT_EQ(r.Lock(b, 0, 300), DS_OK);
    EXPECT_EQ(r.N1, 64u);
    EXPECT_EQ(r.N2, 236u);
    EXPECT_EQ(static_cast<BYTE*>(r.P2)[0], Ramp(300)[64]);
    EXPECT_EQ(b->Unlock(r.P1, 0, r.P2, 0), DS_OK);
    SoftDirectSoundSplitLocks(device, 0);
    EXPECT_EQ(Contents(b), Ramp(300)) << "written through two regions";
    EXPECT_EQ(b->Release(), 0u);
}

// A lock the buffer cannot give, and the lock's fault, hand out nothing and
// leave no lock behind; unlocks of what was not handed out are refused and
// keep the lock; only the bytes an unlock reports written are written back.
TEST_F(SoftDevice, LockAndUnlockRefusalsLeaveTheBytesAsTheyWere)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    const int NoFault = -1;
    const struct {
        const char* what;
        DWORD offset, bytes;
        bool first, second; // places for the regions
        int fault;
        HRESULT result;
    } refused[] = {
        {"offset at the end", 100, 10, true, true, NoFault, DSERR_INVALIDPARAM},
        {"zero bytes", 0, 0, true, true, NoFault, DSERR_INVALIDPARAM},
        {"more than the buffer", 0, 101, true, true, NoFault, DSERR_INVALIDPARAM},
        {"wrap without a second region", 50, 100, true, false, NoFault, DSERR_INVALIDPARAM},
        {"no first region", 0, 10, false, true, NoFault, DSERR_INVALIDPARAM},
        {"the lock's fault", 0, 100, true, true, SoftFaultLock, DSERR_INVALIDCALL},
    };
    for (const auto& row : refused) {
        if (row.fault != NoFault)
            SoftDirectSoundInjectFault(SoftDirectSoundFault(row.fault), 0, 1);
        Regions r;
        EXPECT_EQ(r.Lock(b, row.offset, row.bytes, row.first, row.second), row.result) << row.what;
        EXPECT_EQ(r.P1, nullptr) << row.what << ": a region handed out";
        EXPECT_EQ(r.N1, 0u) << row.what << ": a size handed out";
        if (row.fault != NoFault)
            EXPECT_EQ(SoftDirectSoundFaultsHit(SoftDirectSoundFault(row.fault)), 1) << row.what;
        EXPECT_EQ(Contents(b), Ramp(100)) << row.what << ": a lock after it";
    }
    EXPECT_EQ(b->Unlock(nullptr, 0, nullptr, 0), DSERR_INVALIDCALL) << "unlock without a lock";

    Regions r;
    ASSERT_EQ(r.Lock(b, 0, 100), DS_OK);
    Regions again;
    EXPECT_EQ(again.Lock(b, 0, 10), DSERR_INVALIDCALL) << "a second lock";
    BYTE other[4];
    EXPECT_EQ(b->Unlock(other, 4, nullptr, 0), DSERR_INVALIDPARAM) << "unlock of a foreign pointer";
    EXPECT_EQ(b->Unlock(r.P1, r.N1 + 1, nullptr, 0), DSERR_INVALIDPARAM) << "unlock of more than was locked";
    memset(r.P1, 7, r.N1);
    ASSERT_EQ(b->Unlock(r.P1, 10, r.P2, 0), DS_OK);
    std::vector<BYTE> expected = Ramp(100);
    memset(expected.data(), 7, 10);
    EXPECT_EQ(Contents(b), expected);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, AForgottenUnlockWritesNothing)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    Regions r;
    ASSERT_EQ(r.Lock(b, 0, 100), DS_OK);
    memset(r.P1, 0, r.N1);
    // Released while locked: the staging copy goes with it.
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, OneShotPlayEndsByItselfOnTheLastFrame)
{
    const std::vector<BYTE> ramp = Ramp(100);
    LPDIRECTSOUNDBUFFER b = Make(ramp);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_PLAYING));
    SoftDirectSoundAdvance(device, 99);
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_PLAYING)) << "after 99 of 100 frames";
    EXPECT_EQ(Position(b), 99u);
    SoftDirectSoundAdvance(device, 1);
    EXPECT_EQ(Status(b), 0u) << "after all 100 frames";
    EXPECT_EQ(Position(b), 0u) << "an ended one-shot is back at its start";
    SoftDirectSoundAdvance(device, 20);

    std::vector<int16_t> track = Track();
    ASSERT_EQ(track.size(), 120u);
    for (size_t i = 0; i < 100; ++i)
        ASSERT_EQ(track[i], Heard(ramp[i])) << "tick " << i;
    for (size_t i = 100; i < 120; ++i)
        ASSERT_EQ(track[i], 0) << "tick " << i << ", after the end";
    EXPECT_EQ(SoftDirectSoundClock(device), 120u);

    // Played again, it starts from the start.
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    SoftDirectSoundAdvance(device, 1);
    EXPECT_EQ(Track().back(), Heard(ramp[0]));
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, LoopingPlayGoesOnUntilStopped)
{
    const std::vector<BYTE> ramp = Ramp(50);
    LPDIRECTSOUNDBUFFER b = Make(ramp);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    SoftDirectSoundAdvance(device, 175);
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    EXPECT_EQ(Position(b), 25u);
    std::vector<int16_t> track = Track();
    for (size_t i = 0; i < track.size(); ++i)
        ASSERT_EQ(track[i], Heard(ramp[i % 50])) << "tick " << i;

    ASSERT_EQ(b->Stop(), DS_OK);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(Position(b), 25u) << "Stop keeps the cursor";
    ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
    EXPECT_EQ(Position(b), 0u);
    EXPECT_EQ(b->SetCurrentPosition(50), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, PlayRefusalsAndTheFaultLeaveItSilent)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Play(1, 0, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Play(0, 1, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Play(0, 0, 0x8), DSERR_INVALIDPARAM);
    SoftDirectSoundInjectFault(SoftFaultPlay, 0, 1);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_GENERIC);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultPlay), 1);
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, GetStatusFaultLeavesTheStatusWordAlone)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetStatus(nullptr), DSERR_INVALIDPARAM);
    SoftDirectSoundInjectFault(SoftFaultGetStatus, 0, 1);
    DWORD status = 0x5555;
    EXPECT_EQ(b->GetStatus(&status), DSERR_GENERIC);
    EXPECT_EQ(status, 0x5555u);
    EXPECT_EQ(b->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, DuplicatesShareMemoryButNotTheCursor)
{
    const std::vector<BYTE> ramp = Ramp(100);
    LPDIRECTSOUNDBUFFER a = Make(ramp);
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->Play(0, 0, 0), DS_OK);
    SoftDirectSoundAdvance(device, 10);

    LPDIRECTSOUNDBUFFER d = nullptr;
    ASSERT_EQ(device->DuplicateSoundBuffer(a, &d), DS_OK);
    EXPECT_TRUE(SoftDirectSoundSharesMemory(a, d));
    EXPECT_EQ(SoftDirectSoundDeviceBuffers(device), 2);
    EXPECT_EQ(Status(d), 0u) << "a duplicate starts stopped";
    EXPECT_EQ(Position(d), 0u);
    EXPECT_EQ(Contents(d), ramp) << "a duplicate needs no filling";

    // Written through the duplicate, heard through the original.
    std::vector<BYTE> changed = ramp;
    changed[50] = 250;
    Write(d, changed);
    EXPECT_EQ(Contents(a), changed);

    // The duplicate outlives the original's release.
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(Contents(d), changed);
    EXPECT_EQ(d->Release(), 0u);
}

TEST_F(SoftDevice, DuplicationRefusalsAndTheFaultMakeNoBuffer)
{
    LPDIRECTSOUNDBUFFER a = Make(Ramp(100));
    ASSERT_NE(a, nullptr);
    LPDIRECTSOUNDBUFFER d = Untouched;
    EXPECT_EQ(device->DuplicateSoundBuffer(nullptr, &d), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->DuplicateSoundBuffer(a, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(device->DuplicateSoundBuffer(Untouched, &d), DSERR_INVALIDPARAM) << "not a buffer of ours";
    SoftDirectSoundInjectFault(SoftFaultDuplicate, 0, 1);
    EXPECT_EQ(device->DuplicateSoundBuffer(a, &d), DSERR_OUTOFMEMORY);
    EXPECT_EQ(d, Untouched);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 1);
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultDuplicate), 1);
    EXPECT_EQ(a->Release(), 0u);
}

TEST_F(SoftDevice, ALostBufferRefusesUntilRestoredAndHoldsGarbage)
{
    const std::vector<BYTE> ramp = Ramp(100);
    LPDIRECTSOUNDBUFFER b = Make(ramp);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_TRUE(SoftDirectSoundLoseBuffer(b));
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_BUFFERLOST)) << "a lost buffer stops";
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
    Regions r;
    EXPECT_EQ(r.Lock(b, 0, 100), DSERR_BUFFERLOST);

    SoftDirectSoundInjectFault(SoftFaultRestore, 0, 1);
    EXPECT_EQ(b->Restore(), DSERR_BUFFERLOST);
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_BUFFERLOST)) << "after a failed Restore";
    EXPECT_EQ(SoftDirectSoundFaultsHit(SoftFaultRestore), 1);

    ASSERT_EQ(b->Restore(), DS_OK);
    EXPECT_EQ(Status(b), 0u);
    // Restored memory must be written again: until it is, it holds 0x00,
    // the 8-bit sample farthest from silence, loud in the track.
    EXPECT_EQ(Contents(b), std::vector<BYTE>(ramp.size(), 0x00)) << "restored memory must be written again";
    Write(b, ramp);
    EXPECT_EQ(Contents(b), ramp);
    EXPECT_EQ(b->Restore(), DS_OK) << "Restore of a buffer that is not lost";
    EXPECT_FALSE(SoftDirectSoundLoseBuffer(Untouched)) << "not a buffer of ours";
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, ReferencesAreCountedAndAReleasedDeviceGoesQuiet)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->AddRef(), 2u);
    EXPECT_EQ(SoftDirectSoundReferences(b), 2u);
    EXPECT_EQ(b->Release(), 1u);
    EXPECT_EQ(SoftDirectSoundReferences(device), 1u);

    // Buffers hold no reference to their device; once the device is gone
    // they may still be released, but no longer play.
    EXPECT_EQ(device->Release(), 0u);
    device = nullptr;
    EXPECT_EQ(SoftDirectSoundLiveDevices(), 0);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), 1);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_UNINITIALIZED);
    EXPECT_EQ(b->Release(), 0u);
    EXPECT_EQ(SoftDirectSoundReferences(b), 0u) << "a released buffer is no longer ours";
}

TEST_F(SoftDevice, MixesEveryPlayingBufferWithVolumeAndFrequency)
{
    std::vector<BYTE> low(100, 128 - 10), high(100, 128 + 20);
    LPDIRECTSOUNDBUFFER a = Make(low);
    LPDIRECTSOUNDBUFFER b = Make(high);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(a->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    SoftDirectSoundAdvance(device, 1);
    EXPECT_EQ(Track().back(), 10 * 256) << "-10 and +20 mixed";

    // -6.02 dB halves the amplitude.
    ASSERT_EQ(b->SetVolume(-602), DS_OK);
    ASSERT_EQ(a->Stop(), DS_OK);
    SoftDirectSoundAdvance(device, 1);
    EXPECT_NEAR(Track().back(), 10 * 256, 8);
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(-10000), DS_OK);

    // Twice the frequency: the remaining 98 frames end after 49 ticks.
    ASSERT_EQ(b->SetFrequency(22050), DS_OK);
    SoftDirectSoundAdvance(device, 48);
    EXPECT_EQ(Status(b), static_cast<DWORD>(DSBSTATUS_PLAYING));
    SoftDirectSoundAdvance(device, 1);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(b->SetFrequency(50), DSERR_INVALIDPARAM);
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, ControlsNotAskedForAreUnavailable)
{
    DSBUFFERDESC d = Description(&mono8, 100, DSBCAPS_STATIC);
    LPDIRECTSOUNDBUFFER b = nullptr;
    ASSERT_EQ(device->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    LONG value = 0;
    DWORD frequency = 0;
    // Each control, got and set, without its flag.
    const struct {
        const char* call;
        HRESULT result;
    } calls[] = {
        {"SetVolume", b->SetVolume(0)},           {"GetVolume", b->GetVolume(&value)},
        {"SetPan", b->SetPan(0)},                 {"GetPan", b->GetPan(&value)},
        {"SetFrequency", b->SetFrequency(11025)}, {"GetFrequency", b->GetFrequency(&frequency)},
    };
    for (const auto& c : calls)
        EXPECT_EQ(c.result, DSERR_CONTROLUNAVAIL) << c.call;
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, MixesSixteenBitStereoAsTheMeanOfItsChannels)
{
    WAVEFORMATEX stereo16 = Pcm(2, 16, 11025);
    // One frame: left 1000, right 3000 (little-endian).
    std::vector<BYTE> frames;
    for (int i = 0; i < 10; ++i) {
        const BYTE frame[4] = {0xE8, 0x03, 0xB8, 0x0B};
        frames.insert(frames.end(), frame, frame + 4);
    }
    LPDIRECTSOUNDBUFFER b = Make(frames, &stereo16);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    SoftDirectSoundAdvance(device, 10);
    EXPECT_EQ(Status(b), 0u) << "10 frames in 10 ticks";
    EXPECT_EQ(Track().front(), 2000);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(SoftDevice, TheClockCountsMillisecondsInTrackSamples)
{
    SoftDirectSoundAdvanceMilliseconds(device, 1000);
    EXPECT_EQ(SoftDirectSoundClock(device), 11025u);
    SoftDirectSoundAdvanceMilliseconds(device, 265);
    EXPECT_EQ(SoftDirectSoundClock(device), 11025u + 2921u) << "265 ms, rounded down";
    EXPECT_EQ(Track().size(), 11025u + 2921u);
    SoftDirectSoundClearTrack(device);
    EXPECT_EQ(Track().size(), 0u);
    EXPECT_EQ(SoftDirectSoundClock(device), 11025u + 2921u) << "clearing the track keeps the clock";
}

TEST_F(SoftDevice, TheTrackIsOne16BitMonoSampleATickAt11025Hz)
{
    LPDIRECTSOUNDBUFFER b = Make(Ramp(100));
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
    SoftDirectSoundAdvance(device, 120);

    EXPECT_EQ(SOFT_DIRECTSOUND_RATE, 11025) << "the track's rate";
    DWORD samples = 0;
    const int16_t* track = SoftDirectSoundTrack(device, &samples);
    ASSERT_NE(track, nullptr);
    ASSERT_EQ(samples, 120u) << "one sample a tick after SoftDirectSoundAdvance(120)";
    EXPECT_EQ(track[0], Heard(Ramp(100)[0])) << "an 8-bit frame heard as a signed 16-bit sample";
    EXPECT_EQ(b->Release(), 0u);
}

namespace {

// A pattern that never repeats within 251 bytes and never sits at either
// format's silence, so that a byte read or written from the wrong place, or
// not at all, shows.
BYTE PatternByte(DWORD at)
{
    return static_cast<BYTE>(at % 251 + 2);
}

std::vector<BYTE> Pattern(DWORD bytes)
{
    std::vector<BYTE> p(bytes);
    for (DWORD i = 0; i < bytes; ++i)
        p[i] = PatternByte(i);
    return p;
}

// What a caller writes through byte `at` of the buffer: unlike what was there.
BYTE Overwritten(BYTE was)
{
    return static_cast<BYTE>(255 - was);
}

// The device's whole model of a lock, as DirectSound describes it: the bytes
// from the offset to the end of the buffer, then the rest from its start, the
// first region at most the split limit long.
struct LockModel {
    HRESULT Result;
    DWORD Offset, Bytes1, Bytes2;
};

LockModel ModelLock(DWORD size, DWORD offset, DWORD bytes, DWORD split, DWORD flags, DWORD writeCursor)
{
    if (flags & DSBLOCK_FROMWRITECURSOR)
        offset = writeCursor;
    if (flags & DSBLOCK_ENTIREBUFFER)
        bytes = size;
    if (offset >= size || bytes == 0 || bytes > size)
        return {DSERR_INVALIDPARAM, 0, 0, 0};
    DWORD first = size - offset < bytes ? size - offset : bytes;
    if (split && first > split)
        first = split;
    return {DS_OK, offset, first, bytes - first};
}

// One frame of the buffer as the mixer hears it: the mean of its channels
// as signed 16-bit samples, 8-bit PCM centred on 128.
int16_t ModelFrame(const std::vector<BYTE>& bytes, const WAVEFORMATEX& f, DWORD frame)
{
    int32_t sum = 0;
    for (DWORD c = 0; c < f.nChannels; ++c) {
        const DWORD at = frame * f.nBlockAlign + c * f.wBitsPerSample / 8;
        sum += f.wBitsPerSample == 8 ? (int32_t(bytes[at]) - 128) * 256
                                     : int16_t(uint16_t(bytes[at] | bytes[at + 1] << 8));
    }
    return static_cast<int16_t>(sum / int32_t(f.nChannels));
}

// Frames a buffer at `rate` moves on in `ticks` of the track, counted from a
// fresh position.
DWORD ModelFramesIn(DWORD ticks, DWORD rate)
{
    return static_cast<DWORD>(uint64_t(ticks) * rate / SOFT_DIRECTSOUND_RATE);
}

const char* FormatName(WORD channels, WORD bits)
{
    return channels == 1 ? (bits == 8 ? "mono 8-bit" : "mono 16-bit") : (bits == 8 ? "stereo 8-bit" : "stereo 16-bit");
}

class SoftDeviceFormats : public SoftDevice {
protected:
    WAVEFORMATEX format = {};

    LPDIRECTSOUNDBUFFER MakeFormat(WORD channels, WORD bits, DWORD frames, DWORD rate = 11025)
    {
        format = Pcm(channels, bits, rate);
        return Make(Pattern(frames * format.nBlockAlign), &format);
    }

    // Locks as asked and checks both regions against the model: their sizes,
    // a null second region when there is none, the bytes each hands out, and
    // that what is written through each lands where the model says.
    void ExpectLock(LPDIRECTSOUNDBUFFER b, DWORD offset, DWORD bytes, DWORD flags, const LockModel& expected,
        const std::string& what)
    {
        const std::vector<BYTE> before = Contents(b);
        const DWORD size = static_cast<DWORD>(before.size());
        LPVOID p1 = nullptr, p2 = Untouched;
        DWORD n1 = 0xFFFF, n2 = 0xFFFF;
        ASSERT_EQ(b->Lock(offset, bytes, &p1, &n1, &p2, &n2, flags), expected.Result) << what;
        if (expected.Result != DS_OK) {
            EXPECT_EQ(p1, nullptr) << what << ": a refused Lock wrote its first region";
            EXPECT_EQ(n1, 0xFFFFu) << what << ": a refused Lock wrote its first size";
            EXPECT_EQ(p2, Untouched) << what << ": a refused Lock wrote its second region";
            EXPECT_EQ(n2, 0xFFFFu) << what << ": a refused Lock wrote its second size";
            EXPECT_EQ(Contents(b), before) << what << ": a refused Lock left a lock behind";
            return;
        }
        EXPECT_EQ(n1, expected.Bytes1) << what << ": first region's size";
        EXPECT_EQ(n2, expected.Bytes2) << what << ": second region's size";
        ASSERT_NE(p1, nullptr) << what;
        if (expected.Bytes2 == 0)
            EXPECT_EQ(p2, nullptr) << what << ": no second region";
        else
            ASSERT_NE(p2, nullptr) << what << ": the second region";
        if (n1 != expected.Bytes1 || n2 != expected.Bytes2)
            return;
        BYTE* r1 = static_cast<BYTE*>(p1);
        BYTE* r2 = static_cast<BYTE*>(p2);
        std::vector<BYTE> after = before;
        for (DWORD k = 0; k < n1 + n2; ++k) {
            const DWORD at = (expected.Offset + k) % size;
            BYTE& handed = k < n1 ? r1[k] : r2[k - n1];
            ASSERT_EQ(handed, before[at]) << what << ": byte " << k << " of the lock, buffer byte " << at;
            handed = Overwritten(before[at]);
            after[at] = handed;
        }
        // An unlock of more than either region held, or of a second region
        // that is not the one handed out, is refused and keeps the lock.
        EXPECT_EQ(b->Unlock(p1, n1 + 1, p2, n2), DSERR_INVALIDPARAM) << what << ": one byte past region 1";
        if (n2) {
            EXPECT_EQ(b->Unlock(p1, n1, p2, n2 + 1), DSERR_INVALIDPARAM) << what << ": one byte past region 2";
            EXPECT_EQ(b->Unlock(p1, n1, p1, n2), DSERR_INVALIDPARAM) << what << ": region 1 given as region 2";
        }
        ASSERT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK) << what;
        EXPECT_EQ(Contents(b), after) << what << ": written back through both regions";
    }

    DWORD Cursor(LPDIRECTSOUNDBUFFER b)
    {
        DWORD play = 0xFFFF, write = 0xFFFF;
        EXPECT_EQ(b->GetCurrentPosition(&play, &write), DS_OK);
        EXPECT_EQ(write, play) << "a software buffer writes where it plays";
        return play;
    }
};

} // namespace

// Odd frame counts, so that no row's byte count is also its frame count in
// another format; offsets and sizes in bytes, whole frames.
TEST_F(SoftDeviceFormats, LocksFitEndAtTheEndWrapOrAreRefusedInEveryFormat)
{
    const DWORD Entire = DSBLOCK_ENTIREBUFFER;
    const struct {
        const char* what;
        WORD channels, bits;
        DWORD frames, offset, bytes, split, flags;
        HRESULT result;
        DWORD bytes1, bytes2;
    } rows[] = {
        {"inside", 1, 8, 7, 2, 3, 0, 0, DS_OK, 3, 0},
        {"to the last byte", 1, 8, 7, 4, 3, 0, 0, DS_OK, 3, 0},
        {"the whole buffer", 1, 8, 7, 0, 7, 0, 0, DS_OK, 7, 0},
        {"across the end", 1, 8, 7, 5, 4, 0, 0, DS_OK, 2, 2},
        {"the whole buffer from its last byte", 1, 8, 7, 6, 7, 0, 0, DS_OK, 1, 6},
        {"from the end", 1, 8, 7, 7, 1, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"one byte too many", 1, 8, 7, 0, 8, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"an offset far past the end", 1, 8, 7, 0xFFFFFFFFu, 1, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"a size that wraps 32 bits", 1, 8, 7, 3, 0xFFFFFFFFu, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"the entire buffer from an offset", 1, 8, 7, 3, 1, 0, Entire, DS_OK, 4, 3},
        {"stereo, across the end", 2, 8, 5, 8, 4, 0, 0, DS_OK, 2, 2},
        {"stereo, to the last byte", 2, 8, 5, 6, 4, 0, 0, DS_OK, 4, 0},
        {"stereo, a frame count as bytes", 2, 8, 5, 0, 5, 0, 0, DS_OK, 5, 0},
        {"stereo, from the end", 2, 8, 5, 10, 2, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"16-bit, across the end", 1, 16, 9, 16, 4, 0, 0, DS_OK, 2, 2},
        {"16-bit, to the last byte", 1, 16, 9, 10, 8, 0, 0, DS_OK, 8, 0},
        {"16-bit, past the frames but inside the bytes", 1, 16, 9, 9, 9, 0, 0, DS_OK, 9, 0},
        {"16-bit, one byte too many", 1, 16, 9, 0, 19, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"stereo 16-bit, across the end", 2, 16, 3, 4, 12, 0, 0, DS_OK, 8, 4},
        {"stereo 16-bit, to the last byte", 2, 16, 3, 8, 4, 0, 0, DS_OK, 4, 0},
        {"stereo 16-bit, from the end", 2, 16, 3, 12, 4, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"stereo 16-bit, one byte too many", 2, 16, 3, 0, 13, 0, 0, DSERR_INVALIDPARAM, 0, 0},
        {"split, whole", 2, 16, 11, 0, 44, 16, 0, DS_OK, 16, 28},
        {"split, inside", 2, 16, 11, 20, 20, 16, 0, DS_OK, 16, 4},
        {"split no shorter than the end", 2, 16, 11, 36, 16, 16, 0, DS_OK, 8, 8},
        {"split, entire", 1, 8, 7, 5, 0, 3, Entire, DS_OK, 2, 5},
    };
    for (const auto& row : rows) {
        LPDIRECTSOUNDBUFFER b = MakeFormat(row.channels, row.bits, row.frames);
        ASSERT_NE(b, nullptr) << row.what;
        SoftDirectSoundSplitLocks(device, row.split);
        const std::string what = std::string(FormatName(row.channels, row.bits)) + ", " +
            std::to_string(row.frames) + " frames, " + row.what;
        const DWORD size = row.frames * format.nBlockAlign;
        const LockModel model = ModelLock(size, row.offset, row.bytes, row.split, row.flags, 0);
        EXPECT_EQ(model.Result, row.result) << what << ": the row agrees with the model";
        EXPECT_EQ(model.Bytes1, row.bytes1) << what << ": the row agrees with the model";
        EXPECT_EQ(model.Bytes2, row.bytes2) << what << ": the row agrees with the model";
        ExpectLock(b, row.offset, row.bytes, row.flags, {row.result, model.Offset, row.bytes1, row.bytes2}, what);
        SoftDirectSoundSplitLocks(device, 0);
        EXPECT_EQ(b->Release(), 0u) << what;
    }
}

// Positions are bytes, moved in whole frames: SetCurrentPosition rounds down
// to a frame, the mixer moves a frame a tick at the buffer's own rate, and
// the write cursor a lock starts from is the play cursor in bytes.
TEST_F(SoftDeviceFormats, PlayCursorsCrossTheEndInBytesOfWholeFrames)
{
    const struct {
        WORD channels, bits;
        DWORD rate, frames;
        DWORD start; // SetCurrentPosition, bytes
        bool looping;
        DWORD ticks;
        DWORD position; // GetCurrentPosition, bytes
        DWORD status;
    } rows[] = {
        {1, 8, 11025, 7, 0, false, 6, 6, DSBSTATUS_PLAYING},
        {1, 8, 11025, 7, 0, false, 7, 0, 0},
        {1, 8, 11025, 7, 0, true, 7, 0, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {1, 8, 11025, 7, 0, true, 23, 2, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {1, 8, 11025, 7, 5, false, 1, 6, DSBSTATUS_PLAYING},
        {1, 8, 11025, 7, 5, false, 2, 0, 0},
        {2, 8, 11025, 5, 6, true, 3, 2, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {2, 8, 11025, 5, 7, false, 0, 6, DSBSTATUS_PLAYING},
        {2, 8, 11025, 5, 7, false, 1, 8, DSBSTATUS_PLAYING},
        {1, 16, 11025, 9, 10, true, 10, 12, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {1, 16, 11025, 9, 11, false, 3, 16, DSBSTATUS_PLAYING},
        {1, 16, 11025, 9, 11, false, 4, 0, 0},
        {2, 16, 11025, 5, 12, true, 4, 8, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {2, 16, 11025, 5, 14, false, 0, 12, DSBSTATUS_PLAYING},
        {2, 16, 11025, 5, 12, false, 1, 16, DSBSTATUS_PLAYING},
        {2, 16, 11025, 5, 12, false, 2, 0, 0},
        {1, 16, 22050, 9, 0, true, 5, 2, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
        {1, 16, 22050, 9, 0, false, 4, 16, DSBSTATUS_PLAYING},
        {1, 16, 22050, 9, 0, false, 5, 0, 0},
        {2, 16, 22050, 3, 4, true, 2, 8, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING},
    };
    for (const auto& row : rows) {
        LPDIRECTSOUNDBUFFER b = MakeFormat(row.channels, row.bits, row.frames, row.rate);
        ASSERT_NE(b, nullptr);
        const std::string what = std::string(FormatName(row.channels, row.bits)) + " at " +
            std::to_string(row.rate) + " Hz, " + std::to_string(row.frames) + " frames from byte " +
            std::to_string(row.start) + (row.looping ? ", looping, " : ", once, ") + std::to_string(row.ticks) +
            " ticks";
        ASSERT_EQ(b->SetCurrentPosition(row.start), DS_OK) << what;
        ASSERT_EQ(b->Play(0, 0, row.looping ? DSBPLAY_LOOPING : 0), DS_OK) << what;
        SoftDirectSoundAdvance(device, row.ticks);
        EXPECT_EQ(Cursor(b), row.position) << what;
        EXPECT_EQ(Status(b), row.status) << what;

        // Two frames from the write cursor: across the end from the last frame.
        const DWORD size = row.frames * format.nBlockAlign;
        const DWORD two = 2u * format.nBlockAlign;
        ExpectLock(b, 0, two, DSBLOCK_FROMWRITECURSOR, ModelLock(size, 0, two, 0, DSBLOCK_FROMWRITECURSOR,
            row.position), what + ", two frames from the write cursor");
        EXPECT_EQ(b->Release(), 0u) << what;
    }
}

// Random formats, rates, lengths, locks and plays against the models above:
// every lock's regions and what is written through them, every cursor and
// status after a play, and every sample the play puts in the track.
TEST_F(SoftDeviceFormats, LocksAndPlaysAgreeWithASimpleModel)
{
    uint32_t seed = 0x1A2B3C4Du;
    auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    const DWORD rates[] = {11025, 22050, 8000, 44100, 5512};
    for (int round = 0; round < 150; ++round) {
        const WORD channels = WORD(1 + next(2)), bits = next(2) ? 16 : 8;
        // At least DSBSIZE_MIN bytes, the smallest buffer DirectSound makes.
        const DWORD block = channels * bits / 8u;
        const DWORD frames = (DSBSIZE_MIN + block - 1) / block + next(23), rate = rates[next(5)];
        LPDIRECTSOUNDBUFFER b = MakeFormat(channels, bits, frames, rate);
        ASSERT_NE(b, nullptr);
        const DWORD size = frames * format.nBlockAlign;
        const std::string what = std::string("round ") + std::to_string(round) + ", " + FormatName(channels, bits) +
            " at " + std::to_string(rate) + " Hz, " + std::to_string(frames) + " frames";

        // Two plays, each from a random byte, once or looping, for up to
        // three lengths; the second starts from a new position mid-play,
        // which starts its frames afresh.
        const bool looping = next(2) != 0;
        const std::vector<BYTE> bytes = Contents(b);
        std::string played;
        for (int play = 0; play < 2; ++play) {
            const DWORD start = next(size);
            const DWORD ticks = next(3 * frames * SOFT_DIRECTSOUND_RATE / rate + 2);
            SoftDirectSoundClearTrack(device);
            ASSERT_EQ(b->SetCurrentPosition(start), DS_OK) << what;
            ASSERT_EQ(b->Play(0, 0, looping ? DSBPLAY_LOOPING : 0), DS_OK) << what;
            SoftDirectSoundAdvance(device, ticks);
            const DWORD from = start / format.nBlockAlign;
            const DWORD moved = ModelFramesIn(ticks, rate);
            const bool ended = !looping && from + moved >= frames;
            played = what + ", play " + std::to_string(play + 1) + " from byte " + std::to_string(start) +
                (looping ? " looping " : " once ") + std::to_string(ticks) + " ticks";
            EXPECT_EQ(Cursor(b), ended ? 0 : (from + moved) % frames * format.nBlockAlign) << played;
            const DWORD status = ended ? 0 : DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
            EXPECT_EQ(Status(b), status) << played;
            const std::vector<int16_t> track = Track();
            ASSERT_EQ(track.size(), size_t(ticks)) << played;
            for (DWORD t = 0; t < ticks; ++t) {
                const DWORD at = from + ModelFramesIn(t, rate);
                const int16_t heard = !looping && at >= frames ? 0 : ModelFrame(bytes, format, at % frames);
                ASSERT_EQ(track[t], heard) << played << ": tick " << t;
            }
        }

        // Then a lock of random bytes from a random offset, or from the
        // write cursor, or of the entire buffer, perhaps split.
        const DWORD offset = next(size + 3), length = next(size + 3);
        const DWORD split = next(3) == 0 ? 1 + next(size) : 0;
        const DWORD flagChoices[] = {0, 0, DSBLOCK_FROMWRITECURSOR, DSBLOCK_ENTIREBUFFER};
        const DWORD flags = flagChoices[next(4)];
        SoftDirectSoundSplitLocks(device, split);
        ExpectLock(b, offset, length, flags, ModelLock(size, offset, length, split, flags, Cursor(b)),
            played + ", lock of " + std::to_string(length) + " from " + std::to_string(offset) + " split " +
                std::to_string(split) + " flags " + std::to_string(flags));
        SoftDirectSoundSplitLocks(device, 0);
        ASSERT_EQ(b->Release(), 0u) << what;
        if (HasFatalFailure() || HasFailure())
            return;
    }
}
