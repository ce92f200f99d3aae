// The recording proxies. They forward every call to the real object and note
// the few the host cares about; reference counts are the proxies' own, and a
// proxy lets go of its real object when its last reference goes.
#define DIRECTSOUND_VERSION 0x0500
#include "SoundTap.h"

#include <mmsystem.h>
#include <dsound.h>

#include <string.h>

namespace {

std::vector<SoundEvent> Events;
int NextBuffer = 0;

typedef HRESULT(WINAPI* CreateFunction)(LPCGUID, LPDIRECTSOUND*, LPUNKNOWN);
CreateFunction RealCreate = nullptr;

void Note(SoundEvent::Kind what, int buffer, uint32_t bytes, int beeps, uint32_t flags, long result)
{
    Events.push_back({what, buffer, bytes, beeps, flags, result});
}

class TapBuffer : public IDirectSoundBuffer {
public:
    TapBuffer(IDirectSoundBuffer* real, uint32_t bytes, int beeps)
        : real_(real), bytes_(bytes), beeps_(beeps), id_(NextBuffer++)
    {
    }

    int Id() const { return id_; }
    uint32_t Bytes() const { return bytes_; }
    int Beeps() const { return beeps_; }
    IDirectSoundBuffer* Real() const { return real_; }

    STDMETHOD_(HRESULT, QueryInterface)(REFIID riid, void** object) override
    {
        return real_->QueryInterface(riid, object);
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG left = --references_;
        if (left == 0) {
            Note(SoundEvent::Released, id_, bytes_, beeps_, 0, long(real_->Release()));
            delete this;
        }
        return left;
    }
    STDMETHOD(GetCaps)(LPDSBCAPS caps) override { return real_->GetCaps(caps); }
    STDMETHOD(GetCurrentPosition)(LPDWORD play, LPDWORD write) override
    {
        return real_->GetCurrentPosition(play, write);
    }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override
    {
        return real_->GetFormat(format, size, written);
    }
    STDMETHOD(GetVolume)(LPLONG volume) override { return real_->GetVolume(volume); }
    STDMETHOD(GetPan)(LPLONG pan) override { return real_->GetPan(pan); }
    STDMETHOD(GetFrequency)(LPDWORD frequency) override { return real_->GetFrequency(frequency); }
    STDMETHOD(GetStatus)(LPDWORD status) override
    {
        HRESULT result = real_->GetStatus(status);
        if (SUCCEEDED(result) && (*status & DSBSTATUS_PLAYING))
            Note(SoundEvent::Busy, id_, bytes_, beeps_, 0, result);
        return result;
    }
    STDMETHOD(Initialize)(LPDIRECTSOUND device, LPCDSBUFFERDESC description) override
    {
        return real_->Initialize(device, description);
    }
    STDMETHOD(Lock)(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second,
                    LPDWORD secondBytes, DWORD flags) override
    {
        return real_->Lock(offset, bytes, first, firstBytes, second, secondBytes, flags);
    }
    STDMETHOD(Play)(DWORD reserved, DWORD priority, DWORD flags) override
    {
        HRESULT result = real_->Play(reserved, priority, flags);
        Note(SoundEvent::Played, id_, bytes_, beeps_, flags, result);
        return result;
    }
    STDMETHOD(SetCurrentPosition)(DWORD position) override { return real_->SetCurrentPosition(position); }
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX format) override { return real_->SetFormat(format); }
    STDMETHOD(SetVolume)(LONG volume) override { return real_->SetVolume(volume); }
    STDMETHOD(SetPan)(LONG pan) override { return real_->SetPan(pan); }
    STDMETHOD(SetFrequency)(DWORD frequency) override { return real_->SetFrequency(frequency); }
    STDMETHOD(Stop)() override { return real_->Stop(); }
    STDMETHOD(Unlock)(LPVOID first, DWORD firstBytes, LPVOID second, DWORD secondBytes) override
    {
        // What the gauge wrote tells the host what this buffer will sound like.
        if (first && firstBytes && !second)
            beeps_ = CountBeeps(static_cast<const uint8_t*>(first), firstBytes);
        return real_->Unlock(first, firstBytes, second, secondBytes);
    }
    STDMETHOD(Restore)() override { return real_->Restore(); }

private:
    IDirectSoundBuffer* real_;
    uint32_t bytes_;
    int beeps_;
    int id_;
    ULONG references_ = 1;
};

class TapDevice : public IDirectSound {
public:
    explicit TapDevice(IDirectSound* real) : real_(real) {}

    STDMETHOD_(HRESULT, QueryInterface)(REFIID riid, void** object) override
    {
        return real_->QueryInterface(riid, object);
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG left = --references_;
        if (left == 0) {
            Note(SoundEvent::Released, -1, 0, 0, 0, long(real_->Release()));
            delete this;
        }
        return left;
    }
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                 IUnknown* outer) override
    {
        IDirectSoundBuffer* real = nullptr;
        HRESULT result = real_->CreateSoundBuffer(description, &real, outer);
        if (FAILED(result)) {
            Note(SoundEvent::BufferCreated, -1, description ? description->dwBufferBytes : 0, 0, 0, result);
            return result;
        }
        TapBuffer* tap = new TapBuffer(real, description->dwBufferBytes, 0);
        Note(SoundEvent::BufferCreated, tap->Id(), tap->Bytes(), 0, 0, result);
        *buffer = tap;
        return result;
    }
    STDMETHOD(GetCaps)(LPDSCAPS caps) override { return real_->GetCaps(caps); }
    STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER original, LPLPDIRECTSOUNDBUFFER duplicate) override
    {
        TapBuffer* source = static_cast<TapBuffer*>(original);
        IDirectSoundBuffer* real = nullptr;
        HRESULT result = real_->DuplicateSoundBuffer(source->Real(), &real);
        if (FAILED(result))
            return result;
        TapBuffer* tap = new TapBuffer(real, source->Bytes(), source->Beeps());
        Note(SoundEvent::Duplicated, tap->Id(), tap->Bytes(), tap->Beeps(), 0, result);
        *duplicate = tap;
        return result;
    }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) override
    {
        return real_->SetCooperativeLevel(window, level);
    }
    STDMETHOD(Compact)() override { return real_->Compact(); }
    STDMETHOD(GetSpeakerConfig)(LPDWORD config) override { return real_->GetSpeakerConfig(config); }
    STDMETHOD(SetSpeakerConfig)(DWORD config) override { return real_->SetSpeakerConfig(config); }
    STDMETHOD(Initialize)(LPCGUID guid) override { return real_->Initialize(guid); }

private:
    IDirectSound* real_;
    ULONG references_ = 1;
};

HRESULT WINAPI TappedCreate(LPCGUID guid, LPDIRECTSOUND* device, LPUNKNOWN outer)
{
    IDirectSound* real = nullptr;
    HRESULT result = RealCreate(guid, &real, outer);
    if (FAILED(result)) {
        Note(SoundEvent::DeviceRefused, -1, 0, 0, 0, result);
        return result;
    }
    Note(SoundEvent::DeviceCreated, -1, 0, 0, 0, result);
    *device = new TapDevice(real);
    return result;
}

} // namespace

int CountBeeps(const uint8_t* samples, uint32_t count)
{
    const uint32_t gap = 11025 / 50; // 20 ms at the clips' rate
    int beeps = 0;
    uint32_t quiet = gap;
    for (uint32_t i = 0; i < count; ++i) {
        if (samples[i] != 128) {
            if (quiet >= gap)
                ++beeps;
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return beeps;
}

bool TapDirectSound(HMODULE module)
{
    auto base = reinterpret_cast<const uint8_t*>(module);
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return false;
    auto imports = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
    for (; imports->Name; ++imports) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + imports->Name), "dsound.dll") != 0)
            continue;
        auto names = reinterpret_cast<const IMAGE_THUNK_DATA32*>(base + imports->OriginalFirstThunk);
        auto slots = reinterpret_cast<IMAGE_THUNK_DATA32*>(const_cast<uint8_t*>(base) + imports->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL32(names->u1.Ordinal))
                continue;
            auto byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (strcmp(reinterpret_cast<const char*>(byName->Name), "DirectSoundCreate") != 0)
                continue;
            DWORD old;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            RealCreate = reinterpret_cast<CreateFunction>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<DWORD>(&TappedCreate);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

const std::vector<SoundEvent>& SoundEvents()
{
    return Events;
}

void ClearSoundEvents()
{
    Events.clear();
}
