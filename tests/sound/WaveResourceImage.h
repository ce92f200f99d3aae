// Hand-made RIFF images for the chunk walker's tests. Each walk runs over an
// exact-size heap copy of the image, so AddressSanitizer reports a read of
// even one byte past its end, and reports outputs as offsets into the image.
#ifndef LUMIVANE_TESTS_SOUND_WAVERESOURCEIMAGE_H
#define LUMIVANE_TESTS_SOUND_WAVERESOURCEIMAGE_H

#include "sound/WaveResource.h"

#include <initializer_list>
#include <memory>
#include <string.h>
#include <vector>

// What one walk gave back. Offsets are from the start of the image; -1 means
// the output was null, -2 that it was not even cleared.
struct Walk {
    int Result;
    long FormatAt;
    long DataAt;
    DWORD Length;
};

struct WaveImage {
    std::vector<BYTE> Bytes;

    void Put32(DWORD value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            Bytes.push_back(BYTE(value >> shift));
    }

    void PutTag(const char* tag) { Bytes.insert(Bytes.end(), tag, tag + 4); }

    // The 12-byte RIFF header; its size is fixed up by Close() unless given.
    WaveImage& Riff(const char* tag = "RIFF", const char* form = "WAVE")
    {
        PutTag(tag);
        Put32(0);
        PutTag(form);
        return *this;
    }

    // A chunk whose length field says `length` and whose body holds `body`
    // bytes of 0x55, followed by a pad byte when the body is odd and `pad`.
    WaveImage& Chunk(const char* tag, DWORD length, DWORD body, bool pad = true)
    {
        PutTag(tag);
        Put32(length);
        Bytes.insert(Bytes.end(), body, 0x55);
        if (pad && (body & 1))
            Bytes.push_back(0);
        return *this;
    }

    WaveImage& Chunk(const char* tag, DWORD length) { return Chunk(tag, length, length); }

    // A PCM format body of `length` bytes: mono, 11025 Hz, 8 bits.
    WaveImage& Format(DWORD length = 16)
    {
        PutTag("fmt ");
        Put32(length);
        const BYTE pcm[18] = {1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0, 0, 0};
        for (DWORD i = 0; i < length; ++i)
            Bytes.push_back(i < sizeof pcm ? pcm[i] : 0);
        if (length & 1)
            Bytes.push_back(0);
        return *this;
    }

    WaveImage& Data(DWORD length) { return Chunk("data", length); }

    // Offset of the body of the chunk that starts at `chunkAt`.
    static long BodyOf(size_t chunkAt) { return long(chunkAt) + 8; }

    // The RIFF size that covers exactly the bytes so far.
    WaveImage& Close() { return SetRiffSize(DWORD(Bytes.size() - 8)); }

    WaveImage& SetRiffSize(DWORD size)
    {
        for (int i = 0; i < 4; ++i)
            Bytes[4 + i] = BYTE(size >> (8 * i));
        return *this;
    }

    Walk Parse(bool wantFormat = true, bool wantData = true, bool wantLength = true) const
    {
        return ParseFirst(DWORD(Bytes.size()), wantFormat, wantData, wantLength);
    }

    // Walks only the first `imageBytes` bytes, as if the resource ended there.
    Walk ParseFirst(DWORD imageBytes, bool wantFormat = true, bool wantData = true, bool wantLength = true) const
    {
        std::unique_ptr<BYTE[]> image(new BYTE[imageBytes ? imageBytes : 1]);
        if (imageBytes)
            memcpy(image.get(), Bytes.data(), imageBytes);
        WAVEFORMATEX* const untouchedFormat = reinterpret_cast<WAVEFORMATEX*>(image.get() + imageBytes + 1000);
        BYTE* const untouchedData = image.get() + imageBytes + 2000;
        WAVEFORMATEX* format = untouchedFormat;
        BYTE* data = untouchedData;
        DWORD length = 0xDEADBEEF;
        Walk walk;
        walk.Result = ParseWaveChunks(image.get(), imageBytes, wantFormat ? &format : nullptr,
            wantData ? &data : nullptr, wantLength ? &length : nullptr);
        walk.FormatAt = !wantFormat ? -1
            : format == untouchedFormat ? -2
            : format ? long(reinterpret_cast<BYTE*>(format) - image.get())
                     : -1;
        walk.DataAt = !wantData ? -1 : data == untouchedData ? -2 : data ? long(data - image.get()) : -1;
        walk.Length = wantLength ? length : 0;
        return walk;
    }
};

#endif
