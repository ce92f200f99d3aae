// Little-endian numbers read byte by byte from bytes the bench did not write
// (PE and ELF headers, RIFF chunks, resource images), never by laying a
// record over them: the bytes may be unaligned, cut short or hostile, so the
// caller checks the bytes left before it reads.
#ifndef LUMIVANE_BENCH_FILES_LITTLEENDIAN_H
#define LUMIVANE_BENCH_FILES_LITTLEENDIAN_H

#include <stddef.h>
#include <stdint.h>

#include <string>

inline uint16_t Little16(const uint8_t* p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t Little32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t Little64(const uint8_t* p)
{
    return uint64_t(Little32(p)) | uint64_t(Little32(p + 4)) << 32;
}

// Bytes with checked reads at any offset: a read that would pass the end
// yields false and leaves the value 0, so a walker never reads beyond what it
// was given however the offsets in the bytes wrap or lie.
struct LittleEndianBytes {
    const uint8_t* Data;
    size_t Size;

    bool Has(uint64_t at, uint64_t count) const { return at <= Size && count <= Size - at; }
    bool U16(uint64_t at, uint32_t* v) const
    {
        *v = 0;
        if (!Has(at, 2))
            return false;
        *v = Little16(Data + at);
        return true;
    }
    bool U32(uint64_t at, uint32_t* v) const
    {
        *v = 0;
        if (!Has(at, 4))
            return false;
        *v = Little32(Data + at);
        return true;
    }
    bool U64(uint64_t at, uint64_t* v) const
    {
        *v = 0;
        if (!Has(at, 8))
            return false;
        *v = Little64(Data + at);
        return true;
    }
    // A word of `bytes` (4 or 8) bytes, as ELF's two classes have them.
    bool Word(uint64_t at, int bytes, uint64_t* v) const
    {
        uint32_t narrow;
        if (bytes == 8)
            return U64(at, v);
        bool good = U32(at, &narrow);
        *v = narrow;
        return good;
    }
    // A zero-terminated name of at most `most` characters; false when the
    // bytes end, or the name runs on, before its zero.
    bool Name(uint64_t at, std::string* name, size_t most = 255) const
    {
        name->clear();
        for (uint64_t i = at; i < Size && i <= at + most; ++i) {
            if (!Data[i])
                return true;
            name->push_back(char(Data[i]));
        }
        return false;
    }
};

#endif
