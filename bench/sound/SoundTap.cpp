// The recording proxies. They forward every call to the real object as any
// proxy does (bench/sound/SoundProxy.h) and note the few the host cares
// about. The same proxies serve every build: the native DirectSound header
// mirrors the real interfaces method for method. The software clock is
// SoundTapClock.cpp; how the tap gets in front of a module is each build's
// own (SoundTapWindows.cpp, SoundTapNative.cpp).
#include "bench/sound/SoundTap.h"

#include "bench/hosting/CallOrder.h"
#include "bench/sound/Bursts.h"
#include "bench/sound/ClipMatcher.h"
#include "bench/sound/HeardTrack.h"
#include "bench/sound/ModuleClips.h"
#include "bench/sound/SoundProxy.h"
#include "bench/sound/SoundTapParts.h"
#include "platform/SoftDirectSound.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace {

std::vector<SoundEvent> Events;
int NextBuffer = 0;

RealDirectSoundCreate RealCreate = TapFirstDevice();

void Note(SoundEvent::Kind what, int buffer, uint32_t bytes, int beeps, uint32_t flags, long result,
          const char* clip, uintptr_t window = 0)
{
    Events.push_back({what, buffer, bytes, beeps, flags, result, clip, window, NextCallOrder()});
}

bool IsSoft(LPDIRECTSOUND device)
{
    return SoftDirectSoundReferences(device) > 0;
}

class TapBuffer;

// The device's proxy notes the buffers it makes, the cooperative level and
// its release; every other call is handed on as any proxy hands it.
class TapDevice final : public DeviceProxy {
public:
    explicit TapDevice(IDirectSound* real) : DeviceProxy(real), soft_(IsSoft(real)) { Live().push_back(this); }

    static std::vector<TapDevice*>& Live()
    {
        static std::vector<TapDevice*> live;
        return live;
    }

    bool Soft() const { return soft_; }
    std::vector<TapBuffer*>& Buffers() { return buffers_; }

    // Mixes `samples` of this device into the heard track at `at`.
    void Mix(uint64_t at, uint32_t samples);

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                IUnknown* outer) override;
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                   LPLPDIRECTSOUNDBUFFER duplicate) override;
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override
    {
        HRESULT result = real_->SetCooperativeLevel(window, level);
        Note(SoundEvent::CooperativeLevel, -1, 0, 0, level, result, nullptr, reinterpret_cast<uintptr_t>(window));
        return result;
    }

private:
    void LastReleased() override
    {
        TapFlush();
        Live().erase(std::find(Live().begin(), Live().end(), this));
        Note(SoundEvent::Released, -1, 0, 0, 0, long(real_->Release()), nullptr);
    }

    bool soft_;
    std::vector<TapBuffer*> buffers_;
};

// A buffer's proxy learns the clip from what the gauge writes, notes its
// plays, the status queries that find it busy and its release, and brings
// the software device's time up to now before the gauge looks at or changes
// the buffer; every other call is handed on as any proxy hands it.
class TapBuffer final : public BufferProxy {
public:
    TapBuffer(TapDevice* device, IDirectSoundBuffer* real, uint32_t bytes, int beeps, const char* clip)
        : BufferProxy(real), device_(device), bytes_(bytes), beeps_(beeps), clip_(clip), id_(NextBuffer++)
    {
        device_->Buffers().push_back(this);
    }

    int Id() const { return id_; }
    uint32_t Bytes() const { return bytes_; }
    int Beeps() const { return beeps_; }
    const char* Clip() const { return clip_; }

    bool Playing()
    {
        DWORD status = 0;
        return SUCCEEDED(real_->GetStatus(&status)) && (status & DSBSTATUS_PLAYING);
    }

    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override
    {
        Catch();
        return BufferProxy::GetCurrentPosition(play, write);
    }
    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override
    {
        Catch();
        HRESULT result = real_->GetStatus(status);
        if (SUCCEEDED(result) && (*status & DSBSTATUS_PLAYING))
            Note(SoundEvent::Busy, id_, bytes_, beeps_, 0, result, clip_);
        return result;
    }
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second,
                                   LPDWORD secondBytes, DWORD flags) override
    {
        Catch();
        HRESULT result = real_->Lock(offset, bytes, first, firstBytes, second, secondBytes, flags);
        if (SUCCEEDED(result) && first && firstBytes) {
            locked_[0] = {static_cast<const uint8_t*>(*first), *firstBytes};
            locked_[1] = {second ? static_cast<const uint8_t*>(*second) : nullptr, secondBytes ? *secondBytes : 0};
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        Catch();
        HRESULT result = real_->Play(reserved, priority, flags);
        Note(SoundEvent::Played, id_, bytes_, beeps_, flags, result, clip_);
        if (SUCCEEDED(result) && device_->Soft())
            TapSounding();
        return result;
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override
    {
        Catch();
        return BufferProxy::SetCurrentPosition(position);
    }
    HRESULT STDMETHODCALLTYPE Stop() override
    {
        Catch();
        return BufferProxy::Stop();
    }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID first, DWORD firstBytes, LPVOID second, DWORD secondBytes) override
    {
        // What the gauge wrote tells the host what this buffer will sound
        // like, and which of the module's clips it is. Only regions the last
        // lock handed out are read, and no further than it handed them out:
        // the device refuses any other unlock, and the memory past them is
        // not the module's.
        const bool firstLocked = first && firstBytes && first == locked_[0].Bytes && firstBytes <= locked_[0].Size;
        const bool secondLocked =
            !(second && secondBytes) || (second == locked_[1].Bytes && secondBytes <= locked_[1].Size);
        if (firstLocked && secondLocked) {
            beeps_ = CountBeeps(static_cast<const uint8_t*>(first), firstBytes);
            if (second && secondBytes)
                beeps_ += CountBeeps(static_cast<const uint8_t*>(second), secondBytes);
            clip_ = IdentifyClip(first, firstBytes, second, second ? secondBytes : 0);
        }
        HRESULT result = real_->Unlock(first, firstBytes, second, secondBytes);
        if (SUCCEEDED(result))
            locked_[0] = locked_[1] = {nullptr, 0};
        return result;
    }
    HRESULT STDMETHODCALLTYPE Restore() override
    {
        Catch();
        return BufferProxy::Restore();
    }

private:
    // The software device's time is brought up to now before the gauge
    // looks at or changes a buffer.
    void Catch()
    {
        if (device_->Soft())
            TapFlush();
    }

    void LastReleased() override
    {
        Catch();
        std::vector<TapBuffer*>& list = device_->Buffers();
        list.erase(std::find(list.begin(), list.end(), this));
        Note(SoundEvent::Released, id_, bytes_, beeps_, 0, long(real_->Release()), clip_);
    }

    TapDevice* device_;
    uint32_t bytes_;
    int beeps_;
    const char* clip_;
    int id_;
    // The regions the last successful lock handed out, until unlocked.
    struct Region {
        const uint8_t* Bytes;
        DWORD Size;
    } locked_[2] = {};
};

// A module that gives no place for the new buffer is refused before the device
// is asked, as DirectSound refuses it: the device would make a buffer the tap
// had nowhere to hand out. The refusal is noted like any other.
HRESULT TapDevice::CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer, IUnknown* outer)
{
    if (!buffer) {
        Note(SoundEvent::BufferCreated, -1, description ? description->dwBufferBytes : 0, 0, 0, DSERR_INVALIDPARAM,
            nullptr);
        return DSERR_INVALIDPARAM;
    }
    IDirectSoundBuffer* real = nullptr;
    HRESULT result = real_->CreateSoundBuffer(description, &real, outer);
    if (FAILED(result) || !real) {
        Note(SoundEvent::BufferCreated, -1, description ? description->dwBufferBytes : 0, 0, 0, result, nullptr);
        return result;
    }
    TapBuffer* tap = new TapBuffer(this, real, description->dwBufferBytes, 0, nullptr);
    Note(SoundEvent::BufferCreated, tap->Id(), tap->Bytes(), 0, 0, result, nullptr);
    *buffer = tap;
    return result;
}

// Refused without a place for the duplicate, for the same reason; a refused
// duplication is not noted, as the device's own refusals are not.
HRESULT TapDevice::DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER duplicate)
{
    if (!duplicate)
        return DSERR_INVALIDPARAM;
    TapBuffer* source = static_cast<TapBuffer*>(original);
    IDirectSoundBuffer* real = nullptr;
    HRESULT result = real_->DuplicateSoundBuffer(source ? source->Real() : nullptr, &real);
    if (FAILED(result) || !real)
        return result;
    TapBuffer* tap = new TapBuffer(this, real, source->Bytes(), source->Beeps(), source->Clip());
    Note(SoundEvent::Duplicated, tap->Id(), tap->Bytes(), tap->Beeps(), 0, result, tap->Clip());
    *duplicate = tap;
    return result;
}

void TapDevice::Mix(uint64_t at, uint32_t samples)
{
    SoftDirectSoundClearTrack(real_);
    SoftDirectSoundAdvance(real_, samples);
    DWORD count = 0;
    const int16_t* track = SoftDirectSoundTrack(real_, &count);
    if (!track || !count)
        return;
    HearAt(at, track, count);
    SoftDirectSoundClearTrack(real_);
}

} // namespace

// A module that gives no place for the device is answered by the real one,
// asked with no place either, rather than handed a device it cannot hold.
HRESULT WINAPI TappedDirectSoundCreate(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    IDirectSound* real = nullptr;
    HRESULT result = RealCreate ? RealCreate(guid, device ? &real : nullptr, outer) : DSERR_NODRIVER;
    if (FAILED(result) || !real) {
        Note(SoundEvent::DeviceRefused, -1, 0, 0, 0, result, nullptr);
        return FAILED(result) ? result : DSERR_NODRIVER;
    }
    Note(SoundEvent::DeviceCreated, -1, 0, 0, 0, result, nullptr);
    *device = new TapDevice(real);
    return result;
}

// SoftDirectSoundCreate has the caller-cleans form of our own functions; the
// slot it stands in for has DirectSoundCreate's.
HRESULT WINAPI TapSoftCreate(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    return SoftDirectSoundCreate(guid, device, outer);
}

bool TapDirectSound(void* module, bool softSound, const ModuleClipSource* clips, int clipCount)
{
    LearnModuleClipsFrom(module, clips, clipCount);
    return OpenTapWay(module, softSound);
}

void TapInFrontOf(RealDirectSoundCreate create)
{
    RealCreate = create;
}

const std::vector<SoundEvent>& SoundEvents()
{
    return Events;
}

void ClearSoundEvents()
{
    Events.clear();
}

// A software device with nothing playing needs no time: its clock matters
// only to the buffers that play on it.
bool TapMixDevices(uint64_t at, uint32_t samples)
{
    bool still = false;
    for (TapDevice* device : TapDevice::Live()) {
        if (!device->Soft())
            continue;
        bool playing = false;
        for (TapBuffer* buffer : device->Buffers())
            playing = playing || buffer->Playing();
        if (!playing)
            continue;
        device->Mix(at, samples);
        for (TapBuffer* buffer : device->Buffers())
            still = still || buffer->Playing();
    }
    return still;
}
