// A DirectSound device or buffer standing in front of another: every method
// hands its call on to the real object unchanged, and the proxy counts its
// own references, letting go of the real object when its last one goes. The
// sound tap's proxies (SoundTap.cpp) and a test's device that answers
// otherwise are written on it, each overriding only the calls it does
// something with. Nothing here notes, changes or owns anything else.
#ifndef LUMIVANE_BENCH_SOUND_SOUNDPROXY_H
#define LUMIVANE_BENCH_SOUND_SOUNDPROXY_H

#include "platform/Platform.h"

// What every proxy shares. The destructor is virtual because the last
// Release deletes the proxy through this base; the interface's own slots
// stay first in its table, where a module calls them.
template <typename Interface>
class SoundProxy : public Interface {
public:
    explicit SoundProxy(Interface* real) : real_(real) {}
    virtual ~SoundProxy() = default;

    Interface* Real() const { return real_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        return real_->QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) {
            LastReleased();
            delete this;
        }
        return left;
    }

protected:
    // The last reference has gone: the real object's is given back. A proxy
    // that notes the release does it here, where the real answer is known.
    virtual void LastReleased() { real_->Release(); }

    Interface* const real_;

private:
    ULONG references_ = 1;
};

class DeviceProxy : public SoundProxy<IDirectSound> {
public:
    explicit DeviceProxy(IDirectSound* real) : SoundProxy(real) {}

    HRESULT STDMETHODCALLTYPE CreateSoundBuffer(LPCDSBUFFERDESC description, LPLPDIRECTSOUNDBUFFER buffer,
                                                IUnknown* outer) override
    {
        return real_->CreateSoundBuffer(description, buffer, outer);
    }
    HRESULT STDMETHODCALLTYPE GetCaps(LPDSCAPS caps) override { return real_->GetCaps(caps); }
    HRESULT STDMETHODCALLTYPE DuplicateSoundBuffer(LPDIRECTSOUNDBUFFER original,
                                                   LPLPDIRECTSOUNDBUFFER duplicate) override
    {
        return real_->DuplicateSoundBuffer(original, duplicate);
    }
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD level) override
    {
        return real_->SetCooperativeLevel(window, level);
    }
    HRESULT STDMETHODCALLTYPE Compact() override { return real_->Compact(); }
    HRESULT STDMETHODCALLTYPE GetSpeakerConfig(LPDWORD config) override { return real_->GetSpeakerConfig(config); }
    HRESULT STDMETHODCALLTYPE SetSpeakerConfig(DWORD config) override { return real_->SetSpeakerConfig(config); }
    HRESULT STDMETHODCALLTYPE Initialize(LPCGUID guid) override { return real_->Initialize(guid); }
};

class BufferProxy : public SoundProxy<IDirectSoundBuffer> {
public:
    explicit BufferProxy(IDirectSoundBuffer* real) : SoundProxy(real) {}

    HRESULT STDMETHODCALLTYPE GetCaps(LPDSBCAPS caps) override { return real_->GetCaps(caps); }
    HRESULT STDMETHODCALLTYPE GetCurrentPosition(LPDWORD play, LPDWORD write) override
    {
        return real_->GetCurrentPosition(play, write);
    }
    HRESULT STDMETHODCALLTYPE GetFormat(LPWAVEFORMATEX format, DWORD size, LPDWORD written) override
    {
        return real_->GetFormat(format, size, written);
    }
    HRESULT STDMETHODCALLTYPE GetVolume(LPLONG volume) override { return real_->GetVolume(volume); }
    HRESULT STDMETHODCALLTYPE GetPan(LPLONG pan) override { return real_->GetPan(pan); }
    HRESULT STDMETHODCALLTYPE GetFrequency(LPDWORD frequency) override { return real_->GetFrequency(frequency); }
    HRESULT STDMETHODCALLTYPE GetStatus(LPDWORD status) override { return real_->GetStatus(status); }
    HRESULT STDMETHODCALLTYPE Initialize(LPDIRECTSOUND device, LPCDSBUFFERDESC description) override
    {
        return real_->Initialize(device, description);
    }
    HRESULT STDMETHODCALLTYPE Lock(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second,
                                   LPDWORD secondBytes, DWORD flags) override
    {
        return real_->Lock(offset, bytes, first, firstBytes, second, secondBytes, flags);
    }
    HRESULT STDMETHODCALLTYPE Play(DWORD reserved, DWORD priority, DWORD flags) override
    {
        return real_->Play(reserved, priority, flags);
    }
    HRESULT STDMETHODCALLTYPE SetCurrentPosition(DWORD position) override
    {
        return real_->SetCurrentPosition(position);
    }
    HRESULT STDMETHODCALLTYPE SetFormat(LPCWAVEFORMATEX format) override { return real_->SetFormat(format); }
    HRESULT STDMETHODCALLTYPE SetVolume(LONG volume) override { return real_->SetVolume(volume); }
    HRESULT STDMETHODCALLTYPE SetPan(LONG pan) override { return real_->SetPan(pan); }
    HRESULT STDMETHODCALLTYPE SetFrequency(DWORD frequency) override { return real_->SetFrequency(frequency); }
    HRESULT STDMETHODCALLTYPE Stop() override { return real_->Stop(); }
    HRESULT STDMETHODCALLTYPE Unlock(LPVOID first, DWORD firstBytes, LPVOID second, DWORD secondBytes) override
    {
        return real_->Unlock(first, firstBytes, second, secondBytes);
    }
    HRESULT STDMETHODCALLTYPE Restore() override { return real_->Restore(); }
};

#endif
