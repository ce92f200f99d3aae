// The sound tap answers a module's calls as DirectSound does, whatever the
// module passes. Every method the tap forwards is called twice, once through
// the tap and once on a software device of its own, made alike, with the same
// arguments and the same fault: the results, the out-parameters and what the
// device holds afterwards must agree, and the tap notes exactly the expected
// events. A module that gives no place for a new buffer is refused, not
// crashed into, and nothing is created for it. A device that succeeds with
// another code than DS_OK has that code handed on and noted. On the software
// device in both builds.
#include "bench/lumivane/LumivaneFacts.h"
#include "bench/sound/SoundProxy.h"
#include "bench/sound/SoundTap.h"
#include "platform/SoftDirectSound.h"
#include "tests/bench/TestModule.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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
    ASSERT_TRUE(TapGaugeSound(module, true, &LumivaneDescription())) << "the tap in front of the software device";
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
    // References counted as COM counts them: each answer what is left.
    EXPECT_EQ(original->AddRef(), 2u);
    EXPECT_EQ(original->Release(), 1u);
    EXPECT_EQ(original->Release(), 0u);
    EXPECT_EQ(device->AddRef(), 2u);
    EXPECT_EQ(device->Release(), 1u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), buffersBefore) << "every buffer given back";
}

namespace {

// IUnknown's published identity, which every device and buffer answers to,
// and one that neither does.
const GUID UnknownIid = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const GUID OtherIid = {0x0BADF00D, 0x1234, 0x5678, {0x9A, 0xBC, 0xDE, 0xF0, 0x12, 0x34, 0x56, 0x78}};

const int NoFault = -1;
const DWORD SideBytes = 64;
const DWORD Controls = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
const HWND SomeWindow = reinterpret_cast<HWND>(0x1234);
// DSSPEAKER_HEADPHONE: any other than the mono the software device starts with.
const DWORD Headphones = 1;

HRESULT CreateTapped(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    return TappedDirectSoundCreate(guid, device, outer);
}

HRESULT CreateBare(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    return SoftDirectSoundCreate(guid, device, outer);
}

// One side of a row: a software device at the priority level and a 64-byte
// buffer with every control on it, reached through the tap or directly.
struct Side {
    HRESULT (*Create)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
    LPDIRECTSOUND Device;
    LPDIRECTSOUNDBUFFER Buffer;
    LPDIRECTSOUND RealDevice; // the software device itself
    LPDIRECTSOUNDBUFFER RealBuffer;
    int BufferId;             // the tap's number for Buffer
};

WAVEFORMATEX Mono8()
{
    return {WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
}

DSBUFFERDESC Description(const WAVEFORMATEX* format, DWORD bytes, DWORD flags)
{
    DSBUFFERDESC d = {};
    d.dwSize = sizeof d;
    d.dwFlags = flags;
    d.dwBufferBytes = bytes;
    d.lpwfxFormat = const_cast<WAVEFORMATEX*>(format);
    return d;
}

// What a call handed back besides its result, and what the device holds
// after it: the two sides must agree on every value.
typedef long long Value;
typedef std::vector<Value> Seen;

Value Pointer(const void* p)
{
    return static_cast<Value>(reinterpret_cast<uintptr_t>(p));
}

// Read on the software objects themselves, so that the tap neither notes nor
// changes anything.
Seen Holdings(const Side& s)
{
    LONG volume = 0, pan = 0;
    DWORD frequency = 0, play = 0, write = 0, status = 0, speakers = 0;
    Seen seen = {Value(SoftDirectSoundCooperativeLevel(s.RealDevice)),
        SoftDirectSoundDeviceBuffers(s.RealDevice), Value(s.RealDevice->GetSpeakerConfig(&speakers)), speakers,
        Value(s.RealBuffer->GetVolume(&volume)), volume, Value(s.RealBuffer->GetPan(&pan)), pan,
        Value(s.RealBuffer->GetFrequency(&frequency)), frequency,
        Value(s.RealBuffer->GetCurrentPosition(&play, &write)), play, write,
        Value(s.RealBuffer->GetStatus(&status)), status};
    void* first = nullptr;
    DWORD firstBytes = 0;
    const HRESULT locked = s.RealBuffer->Lock(0, 0, &first, &firstBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    seen.push_back(locked);
    if (SUCCEEDED(locked)) {
        const uint8_t* bytes = static_cast<const uint8_t*>(first);
        seen.insert(seen.end(), bytes, bytes + firstBytes);
        s.RealBuffer->Unlock(first, 0, nullptr, 0);
    }
    return seen;
}

// Asks for an interface: what comes back must be the software object itself
// (1), nothing (0), or, wrongly, anything else (-1). A reference it hands
// out is given back.
Value Answer(const void* answer, const void* real)
{
    return answer == real ? 1 : answer == nullptr ? 0 : -1;
}

HRESULT Ask(IUnknown* object, const GUID& iid, IUnknown* real, Seen* seen)
{
    void* answer = seen;
    const HRESULT r = object->QueryInterface(iid, &answer);
    seen->push_back(Answer(answer, real));
    if (SUCCEEDED(r) && answer)
        static_cast<IUnknown*>(answer)->Release();
    return r;
}

// Asks for a device's or a buffer's capabilities in a record that says it
// is `size` bytes long.
template <typename Object, typename Capabilities>
HRESULT CapabilitiesOf(Object* object, DWORD size, Capabilities* caps)
{
    *caps = {};
    caps->dwSize = size;
    return object->GetCaps(caps);
}

// Sets one of a buffer's controls and reads it back.
template <typename Set, typename Get, typename Setting>
HRESULT SetThenGet(IDirectSoundBuffer* buffer, Set set, Get get, Setting value, Seen* seen)
{
    const HRESULT result = (buffer->*set)(value);
    Setting read = 0;
    seen->push_back((buffer->*get)(&read));
    seen->push_back(read);
    return result;
}

// Fills a locked region with the clip-less tone the rows write.
void Fill(void* region, DWORD bytes)
{
    for (DWORD i = 0; i < bytes; ++i)
        static_cast<uint8_t*>(region)[i] = uint8_t(0x80 + (i % 7));
}

typedef std::function<HRESULT(Side& s, Seen* seen)> MethodCall;

// Asks for the buffer's status, which is seen.
HRESULT StatusSeen(Side& s, Seen* seen)
{
    DWORD status = 0xFFFF;
    const HRESULT r = s.Buffer->GetStatus(&status);
    seen->push_back(status);
    return r;
}

// Makes a device as the side does: of `guid`, inside the software device
// when `outer`, with a place for it unless `nowhere`. Whether one was handed
// out is seen, and one that was is released at once.
MethodCall MakesDevice(const GUID* guid, bool outer, bool nowhere = false)
{
    return [=](Side& s, Seen* seen) {
        LPDIRECTSOUND made = nullptr;
        const HRESULT r = s.Create(guid, nowhere ? nullptr : &made, outer ? s.RealDevice : nullptr);
        seen->push_back(made ? Value(made->Release()) : -1);
        return r;
    };
}

// Makes a buffer on the side's device: `bytes` long of mono samples of
// `bits` (a null description when 0), with `flags`, inside the software
// device when `outer`. The device's buffers are seen, and whether one was
// handed out; one that was is released at once.
MethodCall MakesBuffer(WORD bits, DWORD bytes, DWORD flags = 0, bool outer = false)
{
    return [=](Side& s, Seen* seen) {
        WAVEFORMATEX format = Mono8();
        format.wBitsPerSample = bits;
        const DSBUFFERDESC d = Description(&format, bytes, flags);
        LPDIRECTSOUNDBUFFER made = nullptr;
        const HRESULT r = s.Device->CreateSoundBuffer(bits ? &d : nullptr, &made, outer ? s.RealDevice : nullptr);
        seen->push_back(SoftDirectSoundDeviceBuffers(s.RealDevice));
        seen->push_back(made ? Value(made->Release()) : -1);
        return r;
    };
}

enum Whose { TheDevice, TheBuffer, TheNext };

struct NotedEvent {
    SoundEvent::Kind What;
    Whose Of;
    uint32_t Bytes;
    uint32_t Flags;
    long Result;
    HWND Window;
};

struct MethodRow {
    const char* What;
    int Fault;           // the software device's switch failed once for the call, or NoFault
    HRESULT Result;      // what the software device answers
    MethodCall Call;
    std::vector<NotedEvent> Events;
};

std::vector<MethodRow> MethodRows()
{
    const HRESULT Ok = DS_OK;
    typedef SoundEvent E;
    return {
        // The device, created and refused.
        {"a device", NoFault, Ok, MakesDevice(nullptr, false),
         {{E::DeviceCreated, TheDevice, 0, 0, Ok, nullptr}, {E::Released, TheDevice, 0, 0, 0, nullptr}}},
        {"a device the driver refuses", SoftFaultCreateDevice, DSERR_NODRIVER, MakesDevice(nullptr, false),
         {{E::DeviceRefused, TheDevice, 0, 0, DSERR_NODRIVER, nullptr}}},
        {"a device of another GUID", NoFault, DSERR_NODRIVER, MakesDevice(&OtherIid, false),
         {{E::DeviceRefused, TheDevice, 0, 0, DSERR_NODRIVER, nullptr}}},
        {"a device inside an outer object", NoFault, DSERR_NOAGGREGATION, MakesDevice(nullptr, true),
         {{E::DeviceRefused, TheDevice, 0, 0, DSERR_NOAGGREGATION, nullptr}}},
        {"a device with no place for it", NoFault, DSERR_INVALIDPARAM, MakesDevice(nullptr, false, true),
         {{E::DeviceRefused, TheDevice, 0, 0, DSERR_INVALIDPARAM, nullptr}}},

        // The device's methods.
        {"the device asked for IUnknown", NoFault, S_OK,
         [](Side& s, Seen* seen) { return Ask(s.Device, UnknownIid, s.RealDevice, seen); }, {}},
        {"the device asked for another interface", NoFault, E_NOINTERFACE,
         [](Side& s, Seen* seen) { return Ask(s.Device, OtherIid, s.RealDevice, seen); }, {}},
        {"the device asked with no place", NoFault, E_POINTER,
         [](Side& s, Seen*) { return s.Device->QueryInterface(UnknownIid, nullptr); }, {}},
        {"a 32-byte buffer", NoFault, Ok, MakesBuffer(8, 32),
         {{E::BufferCreated, TheNext, 32, 0, Ok, nullptr}, {E::Released, TheNext, 32, 0, 0, nullptr}}},
        {"a buffer out of memory", SoftFaultCreateBuffer, DSERR_OUTOFMEMORY, MakesBuffer(8, 32),
         {{E::BufferCreated, TheDevice, 32, 0, DSERR_OUTOFMEMORY, nullptr}}},
        {"a buffer of no description", NoFault, DSERR_INVALIDPARAM, MakesBuffer(0, 0),
         {{E::BufferCreated, TheDevice, 0, 0, DSERR_INVALIDPARAM, nullptr}}},
        {"a buffer of 12-bit samples", NoFault, DSERR_BADFORMAT, MakesBuffer(12, 32),
         {{E::BufferCreated, TheDevice, 32, 0, DSERR_BADFORMAT, nullptr}}},
        {"a buffer inside an outer object", NoFault, DSERR_NOAGGREGATION, MakesBuffer(8, 48, 0, true),
         {{E::BufferCreated, TheDevice, 48, 0, DSERR_NOAGGREGATION, nullptr}}},
        {"a primary buffer", NoFault, DSERR_UNSUPPORTED, MakesBuffer(8, 16, DSBCAPS_PRIMARYBUFFER),
         {{E::BufferCreated, TheDevice, 16, 0, DSERR_UNSUPPORTED, nullptr}}},
        {"the device's capabilities", NoFault, Ok, [](Side& s, Seen* seen) {
             DSCAPS caps;
             const HRESULT r = CapabilitiesOf(s.Device, sizeof caps, &caps);
             seen->insert(seen->end(), {caps.dwFlags, caps.dwMinSecondarySampleRate, caps.dwMaxSecondarySampleRate,
                 caps.dwPrimaryBuffers});
             return r;
         }, {}},
        {"the device's capabilities in a short record", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen*) {
             DSCAPS caps;
             return CapabilitiesOf(s.Device, 4, &caps);
         }, {}},
        {"a duplicate", NoFault, Ok, [](Side& s, Seen* seen) {
             LPDIRECTSOUNDBUFFER made = nullptr;
             const HRESULT r = s.Device->DuplicateSoundBuffer(s.Buffer, &made);
             seen->push_back(SoftDirectSoundDeviceBuffers(s.RealDevice));
             seen->push_back(made ? Value(made->Release()) : -1);
             return r;
         }, {{E::Duplicated, TheNext, SideBytes, 0, Ok, nullptr}, {E::Released, TheNext, SideBytes, 0, 0, nullptr}}},
        {"a duplicate out of memory", SoftFaultDuplicate, DSERR_OUTOFMEMORY, [](Side& s, Seen* seen) {
             LPDIRECTSOUNDBUFFER made = nullptr;
             const HRESULT r = s.Device->DuplicateSoundBuffer(s.Buffer, &made);
             seen->push_back(Pointer(made));
             return r;
         }, {}},
        {"the normal level for a window", NoFault, Ok,
         [](Side& s, Seen*) { return s.Device->SetCooperativeLevel(SomeWindow, DSSCL_NORMAL); },
         {{E::CooperativeLevel, TheDevice, 0, DSSCL_NORMAL, Ok, SomeWindow}}},
        {"the exclusive level, taken", SoftFaultCooperativeLevel, DSERR_ALLOCATED,
         [](Side& s, Seen*) { return s.Device->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE); },
         {{E::CooperativeLevel, TheDevice, 0, DSSCL_EXCLUSIVE, DSERR_ALLOCATED, nullptr}}},
        {"a level past the last", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Device->SetCooperativeLevel(SomeWindow, DSSCL_WRITEPRIMARY + 1); },
         {{E::CooperativeLevel, TheDevice, 0, DSSCL_WRITEPRIMARY + 1, DSERR_INVALIDPARAM, SomeWindow}}},
        {"compacting at the priority level", NoFault, Ok, [](Side& s, Seen*) { return s.Device->Compact(); }, {}},
        {"compacting at the normal level", NoFault, DSERR_PRIOLEVELNEEDED, [](Side& s, Seen*) {
             s.RealDevice->SetCooperativeLevel(nullptr, DSSCL_NORMAL);
             return s.Device->Compact();
         }, {}},
        {"the speakers set and read", NoFault, Ok, [](Side& s, Seen* seen) {
             const HRESULT set = s.Device->SetSpeakerConfig(Headphones);
             DWORD config = 0;
             seen->push_back(set);
             seen->push_back(s.Device->GetSpeakerConfig(&config));
             seen->push_back(config);
             return set;
         }, {}},
        {"the speakers read with no place", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Device->GetSpeakerConfig(nullptr); }, {}},
        {"the device initialized again", NoFault, DSERR_ALREADYINITIALIZED,
         [](Side& s, Seen*) { return s.Device->Initialize(nullptr); }, {}},

        // The buffer's methods.
        {"the buffer asked for IUnknown", NoFault, S_OK,
         [](Side& s, Seen* seen) { return Ask(s.Buffer, UnknownIid, s.RealBuffer, seen); }, {}},
        {"the buffer asked for another interface", NoFault, E_NOINTERFACE,
         [](Side& s, Seen* seen) { return Ask(s.Buffer, OtherIid, s.RealBuffer, seen); }, {}},
        {"the buffer's capabilities", NoFault, Ok, [](Side& s, Seen* seen) {
             DSBCAPS caps;
             const HRESULT r = CapabilitiesOf(s.Buffer, sizeof caps, &caps);
             seen->insert(seen->end(), {caps.dwFlags, caps.dwBufferBytes});
             return r;
         }, {}},
        {"the buffer's capabilities in a short record", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen*) {
             DSBCAPS caps;
             return CapabilitiesOf(s.Buffer, 4, &caps);
         }, {}},
        {"the position set and read", NoFault, Ok, [](Side& s, Seen* seen) {
             seen->push_back(s.Buffer->SetCurrentPosition(10));
             DWORD play = 0, write = 0;
             const HRESULT r = s.Buffer->GetCurrentPosition(&play, &write);
             seen->insert(seen->end(), {play, write});
             return r;
         }, {}},
        {"a position past the end", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->SetCurrentPosition(SideBytes); }, {}},
        {"the format", NoFault, Ok, [](Side& s, Seen* seen) {
             WAVEFORMATEX format = {};
             DWORD written = 0;
             const HRESULT r = s.Buffer->GetFormat(&format, sizeof format, &written);
             seen->insert(seen->end(), {format.wFormatTag, format.nChannels, format.nSamplesPerSec,
                 format.wBitsPerSample, written});
             return r;
         }, {}},
        {"the format into too little", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen*) {
             WAVEFORMATEX format = {};
             return s.Buffer->GetFormat(&format, 4, nullptr);
         }, {}},
        {"a new format", NoFault, DSERR_INVALIDCALL, [](Side& s, Seen*) {
             WAVEFORMATEX format = Mono8();
             format.nSamplesPerSec = format.nAvgBytesPerSec = 22050;
             return s.Buffer->SetFormat(&format);
         }, {}},
        {"the volume set and read", NoFault, Ok, [](Side& s, Seen* seen) {
             return SetThenGet(s.Buffer, &IDirectSoundBuffer::SetVolume, &IDirectSoundBuffer::GetVolume, LONG(-600), seen);
         }, {}},
        {"a volume too loud", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen*) { return s.Buffer->SetVolume(1); }, {}},
        {"the volume read with no place", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->GetVolume(nullptr); }, {}},
        {"the pan set and read", NoFault, Ok, [](Side& s, Seen* seen) {
             return SetThenGet(s.Buffer, &IDirectSoundBuffer::SetPan, &IDirectSoundBuffer::GetPan, LONG(-300), seen);
         }, {}},
        {"a pan past the right", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->SetPan(DSBPAN_RIGHT + 1); }, {}},
        {"the pan read with no place", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->GetPan(nullptr); }, {}},
        {"the frequency set and read", NoFault, Ok, [](Side& s, Seen* seen) {
             return SetThenGet(s.Buffer, &IDirectSoundBuffer::SetFrequency, &IDirectSoundBuffer::GetFrequency, DWORD(22050), seen);
         }, {}},
        {"a frequency below DirectSound's", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->SetFrequency(DSBFREQUENCY_MIN - 1); }, {}},
        {"the frequency read with no place", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->GetFrequency(nullptr); }, {}},
        {"the status of a stopped buffer", NoFault, Ok, StatusSeen, {}},
        {"the status, failing", SoftFaultGetStatus, DSERR_GENERIC, StatusSeen, {}},
        {"the status with no place", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->GetStatus(nullptr); }, {}},
        {"the buffer initialized again", NoFault, DSERR_ALREADYINITIALIZED, [](Side& s, Seen*) {
             const WAVEFORMATEX format = Mono8();
             const DSBUFFERDESC d = Description(&format, 32, 0);
             return s.Buffer->Initialize(s.Device, &d);
         }, {}},
        {"a looping play, then its status", NoFault, Ok, [](Side& s, Seen* seen) {
             const HRESULT r = s.Buffer->Play(0, 0, DSBPLAY_LOOPING);
             DWORD status = 0;
             seen->push_back(s.Buffer->GetStatus(&status));
             seen->push_back(status);
             return r;
         }, {{E::Played, TheBuffer, SideBytes, DSBPLAY_LOOPING, Ok, nullptr},
             {E::Busy, TheBuffer, SideBytes, 0, Ok, nullptr}}},
        {"a play, then a stop", NoFault, Ok, [](Side& s, Seen* seen) {
             seen->push_back(s.Buffer->Play(0, 0, 0));
             return s.Buffer->Stop();
         }, {{E::Played, TheBuffer, SideBytes, 0, Ok, nullptr}}},
        {"a play, failing", SoftFaultPlay, DSERR_GENERIC, [](Side& s, Seen*) { return s.Buffer->Play(0, 0, 0); },
         {{E::Played, TheBuffer, SideBytes, 0, DSERR_GENERIC, nullptr}}},
        {"a play with a reserved word", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->Play(1, 0, 0); },
         {{E::Played, TheBuffer, SideBytes, 0, DSERR_INVALIDPARAM, nullptr}}},
        {"a play with a priority", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->Play(0, 1, 0); },
         {{E::Played, TheBuffer, SideBytes, 0, DSERR_INVALIDPARAM, nullptr}}},
        {"a play with a location flag", NoFault, DSERR_INVALIDPARAM,
         [](Side& s, Seen*) { return s.Buffer->Play(0, 0, 4); },
         {{E::Played, TheBuffer, SideBytes, 4, DSERR_INVALIDPARAM, nullptr}}},
        {"a play of a lost buffer", NoFault, DSERR_BUFFERLOST, [](Side& s, Seen*) {
             SoftDirectSoundLoseBuffer(s.RealBuffer);
             return s.Buffer->Play(0, 0, 0);
         }, {{E::Played, TheBuffer, SideBytes, 0, DSERR_BUFFERLOST, nullptr}}},
        {"a restore", NoFault, Ok, [](Side& s, Seen*) {
             SoftDirectSoundLoseBuffer(s.RealBuffer);
             return s.Buffer->Restore();
         }, {}},
        {"a restore, failing", SoftFaultRestore, DSERR_BUFFERLOST, [](Side& s, Seen*) {
             SoftDirectSoundLoseBuffer(s.RealBuffer);
             return s.Buffer->Restore();
         }, {}},
        {"a lock and its unlock", NoFault, Ok, [](Side& s, Seen* seen) {
             void* first = nullptr;
             void* second = &s;
             DWORD firstBytes = 0, secondBytes = 99;
             seen->push_back(s.Buffer->Lock(8, 16, &first, &firstBytes, &second, &secondBytes, 0));
             seen->insert(seen->end(), {first != nullptr, Pointer(second), firstBytes, secondBytes});
             Fill(first, firstBytes);
             return s.Buffer->Unlock(first, firstBytes - 2, nullptr, 0);
         }, {}},
        {"a lock over the end and its unlock", NoFault, Ok, [](Side& s, Seen* seen) {
             void* first = nullptr;
             void* second = nullptr;
             DWORD firstBytes = 0, secondBytes = 0;
             seen->push_back(s.Buffer->Lock(60, 16, &first, &firstBytes, &second, &secondBytes, 0));
             seen->insert(seen->end(), {static_cast<uint8_t*>(second) - static_cast<uint8_t*>(first), firstBytes,
                 secondBytes});
             Fill(first, firstBytes);
             Fill(second, secondBytes);
             return s.Buffer->Unlock(first, firstBytes, second, secondBytes - 1);
         }, {}},
        {"a lock of the whole buffer", NoFault, Ok, [](Side& s, Seen* seen) {
             void* first = nullptr;
             DWORD firstBytes = 0;
             const HRESULT r = s.Buffer->Lock(0, 1, &first, &firstBytes, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
             seen->push_back(firstBytes);
             return r;
         }, {}},
        {"a lock over the end with no second region", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen*) {
             void* first = nullptr;
             DWORD firstBytes = 0;
             return s.Buffer->Lock(60, 16, &first, &firstBytes, nullptr, nullptr, 0);
         }, {}},
        {"a lock, failing", SoftFaultLock, DSERR_INVALIDCALL, [](Side& s, Seen* seen) {
             void* first = nullptr;
             DWORD firstBytes = 0;
             const HRESULT r = s.Buffer->Lock(0, 16, &first, &firstBytes, nullptr, nullptr, 0);
             seen->push_back(Pointer(first));
             return r;
         }, {}},
        {"an unlock with nothing locked", NoFault, DSERR_INVALIDCALL, [](Side& s, Seen*) {
             uint8_t bytes[4] = {};
             return s.Buffer->Unlock(bytes, 4, nullptr, 0);
         }, {}},
        {"an unlock of more than was locked", NoFault, DSERR_INVALIDPARAM, [](Side& s, Seen* seen) {
             void* first = nullptr;
             DWORD firstBytes = 0;
             seen->push_back(s.Buffer->Lock(0, 16, &first, &firstBytes, nullptr, nullptr, 0));
             return s.Buffer->Unlock(first, firstBytes + 1, nullptr, 0);
         }, {}},
    };
}

// Makes one side: through the tap, its events cleared, or bare.
void MakeSide(bool tapped, Side* s)
{
    *s = {tapped ? CreateTapped : CreateBare, nullptr, nullptr, nullptr, nullptr, -1};
    ASSERT_EQ(s->Create(nullptr, &s->Device, nullptr), DS_OK);
    ASSERT_EQ(s->Device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    const WAVEFORMATEX format = Mono8();
    const DSBUFFERDESC d = Description(&format, SideBytes, Controls);
    ASSERT_EQ(s->Device->CreateSoundBuffer(&d, &s->Buffer, nullptr), DS_OK);
    // The tap hands out the software objects themselves for IUnknown.
    void* real = nullptr;
    ASSERT_EQ(s->Device->QueryInterface(UnknownIid, &real), S_OK);
    s->RealDevice = static_cast<LPDIRECTSOUND>(real);
    ASSERT_EQ(s->Buffer->QueryInterface(UnknownIid, &real), S_OK);
    s->RealBuffer = static_cast<LPDIRECTSOUNDBUFFER>(real);
    ASSERT_GT(SoftDirectSoundReferences(s->RealDevice), 0u);
    ASSERT_GT(SoftDirectSoundReferences(s->RealBuffer), 0u);
    s->RealDevice->Release();
    s->RealBuffer->Release();
    if (tapped) {
        ASSERT_FALSE(SoundEvents().empty());
        s->BufferId = SoundEvents().back().Buffer;
        ClearSoundEvents();
    }
}

// Runs the row's call on one side with the row's fault set for it alone.
HRESULT CallWithFault(const MethodRow& row, Side& s, Seen* seen)
{
    SoftDirectSoundClearFaults();
    if (row.Fault != NoFault)
        SoftDirectSoundInjectFault(SoftDirectSoundFault(row.Fault), 0, 1);
    const HRESULT r = row.Call(s, seen);
    seen->push_back(row.Fault != NoFault ? SoftDirectSoundFaultsHit(SoftDirectSoundFault(row.Fault)) : 0);
    SoftDirectSoundClearFaults();
    return r;
}

} // namespace

TEST(SoundTap, EveryForwardedCallAnswersAndNotesAsTheDeviceAlone)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    ASSERT_TRUE(TapGaugeSound(module, true, &LumivaneDescription())) << "the tap in front of the software device";
    ClearHeardTrack();
    const int buffersBefore = SoftDirectSoundLiveBuffers();
    const int devicesBefore = SoftDirectSoundLiveDevices();
    for (const MethodRow& row : MethodRows()) {
        Side bare, tapped;
        MakeSide(false, &bare);
        MakeSide(true, &tapped);
        if (HasFatalFailure())
            return;
        Seen bareSeen, tappedSeen;
        const HRESULT alone = CallWithFault(row, bare, &bareSeen);
        const HRESULT through = CallWithFault(row, tapped, &tappedSeen);
        EXPECT_EQ(alone, row.Result) << row.What << ": the device alone";
        EXPECT_EQ(through, alone) << row.What << ": through the tap";
        EXPECT_EQ(bareSeen.back(), row.Fault != NoFault ? 1 : 0) << row.What << ": the fault used";
        EXPECT_EQ(tappedSeen, bareSeen) << row.What << ": what the call handed back";
        EXPECT_EQ(Holdings(tapped), Holdings(bare)) << row.What << ": what the device holds afterwards";

        const std::vector<SoundEvent> events = SoundEvents();
        ASSERT_EQ(events.size(), row.Events.size()) << row.What << ": events noted";
        for (size_t i = 0; i < events.size(); ++i) {
            const SoundEvent& e = events[i];
            const NotedEvent& n = row.Events[i];
            const int buffer = n.Of == TheDevice ? -1 : n.Of == TheBuffer ? tapped.BufferId : tapped.BufferId + 1;
            const std::string at = std::string(row.What) + ": event " + std::to_string(i);
            EXPECT_EQ(e.What, n.What) << at;
            EXPECT_EQ(e.Buffer, buffer) << at;
            EXPECT_EQ(e.Bytes, n.Bytes) << at;
            EXPECT_EQ(e.Beeps, 0) << at;
            EXPECT_EQ(e.Flags, n.Flags) << at;
            EXPECT_EQ(e.Result, n.Result) << at;
            EXPECT_EQ(e.Clip, nullptr) << at;
            EXPECT_EQ(e.Window, reinterpret_cast<uintptr_t>(n.Window)) << at;
            if (i > 0)
                EXPECT_GT(e.Order, events[i - 1].Order) << at << ": in call order";
        }

        ClearSoundEvents();
        EXPECT_EQ(bare.Buffer->Release(), 0u) << row.What;
        EXPECT_EQ(bare.Device->Release(), 0u) << row.What;
        EXPECT_EQ(tapped.Buffer->Release(), 0u) << row.What;
        EXPECT_EQ(tapped.Device->Release(), 0u) << row.What;
        const std::vector<SoundEvent>& released = SoundEvents();
        ASSERT_EQ(released.size(), 2u) << row.What << ": the buffer's and the device's releases";
        EXPECT_EQ(released[0].What, SoundEvent::Released) << row.What;
        EXPECT_EQ(released[0].Buffer, tapped.BufferId) << row.What;
        EXPECT_EQ(released[0].Bytes, SideBytes) << row.What;
        EXPECT_EQ(released[0].Result, 0) << row.What << ": the software buffer's last reference";
        EXPECT_EQ(released[1].What, SoundEvent::Released) << row.What;
        EXPECT_EQ(released[1].Buffer, -1) << row.What;
        EXPECT_EQ(released[1].Result, 0) << row.What << ": the software device's last reference";
        ClearSoundEvents();
    }
    EXPECT_EQ(SoftDirectSoundLiveBuffers(), buffersBefore) << "every buffer given back";
    EXPECT_EQ(SoftDirectSoundLiveDevices(), devicesBefore) << "every device given back";
}

namespace {

// The success the device below answers with in place of DS_OK.
HRESULT Success = DS_OK;

// A software device that succeeds at making devices and buffers with
// another success code, as a driver may (S_FALSE, DirectSound's
// DS_NO_VIRTUALIZATION); everything else is the software device's.
class OtherSuccess final : public DeviceProxy {
public:
    explicit OtherSuccess(IDirectSound* soft) : DeviceProxy(soft) {}

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                IUnknown* outer) override
    {
        return Succeed(DeviceProxy::CreateSoundBuffer(description, buffer, outer));
    }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                   LPLPDIRECTSOUNDBUFFER duplicate) override
    {
        return Succeed(DeviceProxy::DuplicateSoundBuffer(original, duplicate));
    }

    static HRESULT Succeed(HRESULT result) { return result == DS_OK ? Success : result; }
};

HRESULT WINAPI CreateOtherSuccess(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    IDirectSound* soft = nullptr;
    const HRESULT result = SoftDirectSoundCreate(guid, &soft, outer);
    if (FAILED(result))
        return result;
    *device = new OtherSuccess(soft);
    return OtherSuccess::Succeed(result);
}

} // namespace

TEST(SoundTap, AnotherSuccessIsHandedOnAndNoted)
{
    void* module = LoadTestModule();
    ASSERT_NE(module, nullptr) << "loading Lumivane.gau";
    ASSERT_TRUE(TapGaugeSound(module, true, &LumivaneDescription()));
    const WAVEFORMATEX format = Mono8();
    const DSBUFFERDESC d = Description(&format, 32, 0);
    // S_FALSE, and DirectSound's DS_NO_VIRTUALIZATION.
    for (const HRESULT success : {HRESULT(1), HRESULT(0x0878000AL)}) {
        Success = success;
        TapInFrontOf(CreateOtherSuccess);
        ClearSoundEvents();
        LPDIRECTSOUND device = nullptr;
        LPDIRECTSOUNDBUFFER buffer = nullptr, duplicate = nullptr;
        EXPECT_EQ(TappedDirectSoundCreate(nullptr, &device, nullptr), success) << "the device";
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->CreateSoundBuffer(&d, &buffer, nullptr), success) << "a buffer";
        ASSERT_NE(buffer, nullptr);
        EXPECT_EQ(device->DuplicateSoundBuffer(buffer, &duplicate), success) << "a duplicate";
        ASSERT_NE(duplicate, nullptr);
        const std::vector<SoundEvent> events = SoundEvents();
        ASSERT_EQ(events.size(), 3u);
        const SoundEvent::Kind kinds[] = {SoundEvent::DeviceCreated, SoundEvent::BufferCreated, SoundEvent::Duplicated};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(events[i].What, kinds[i]) << "event " << i;
            EXPECT_EQ(events[i].Result, long(success)) << "event " << i;
            EXPECT_EQ(events[i].Flags, 0u) << "event " << i;
            EXPECT_EQ(events[i].Beeps, 0) << "event " << i;
            EXPECT_EQ(events[i].Window, 0u) << "event " << i;
        }
        EXPECT_EQ(events[0].Buffer, -1);
        EXPECT_EQ(events[0].Bytes, 0u);
        EXPECT_EQ(events[2].Buffer, events[1].Buffer + 1);
        EXPECT_EQ(events[2].Bytes, events[1].Bytes);
        EXPECT_EQ(duplicate->Release(), 0u);
        EXPECT_EQ(buffer->Release(), 0u);
        EXPECT_EQ(device->Release(), 0u);
    }
    Success = DS_OK;
    ASSERT_TRUE(TapGaugeSound(module, true, &LumivaneDescription())) << "the tap back in front of the software device";
    ClearSoundEvents();
}
