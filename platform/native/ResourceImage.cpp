// The bounded walk over a .res image (see ResourceImage.h). The image is
// read byte by byte, never through a struct laid over it, and every length
// is compared with the bytes left before anything is read or skipped.
//
// The format, as Microsoft documents it for 32-bit resource files
// ("Resource File Formats" and "RESOURCEHEADER structure" in the Win32
// documentation on menus and other resources): a sequence of records, each a
// header followed by the resource's data, both starting on a DWORD boundary.
// All numbers are little-endian.
//
//   DWORD DataSize      bytes of data after the header
//   DWORD HeaderSize    bytes of this header, from DataSize to Characteristics
//   TYPE                0xFFFF then a WORD ordinal, or a zero-terminated UTF-16 string
//   NAME                the same two forms
//   (zero to three bytes, so that DataVersion starts on a DWORD boundary)
//   DWORD DataVersion
//   WORD  MemoryFlags
//   WORD  LanguageId
//   DWORD Version
//   DWORD Characteristics
//   data, DataSize bytes, then zero bytes up to the next DWORD boundary
//
// A file begins with an empty record (sizes 0 and 32, type and name both
// ordinal 0) that marks it as 32-bit; it is walked like any other and
// matches nothing, since no resource type is 0.
#include "platform/native/ResourceImage.h"

namespace {

const size_t RecordSizesBytes = 8; // DataSize and HeaderSize
const size_t HeaderTailBytes = 16; // DataVersion to Characteristics

uint16_t ReadU16(const uint8_t* at)
{
    return uint16_t(at[0] | at[1] << 8);
}

uint32_t ReadU32(const uint8_t* at)
{
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// A TYPE or NAME field, inside [at, end) of the header.
struct NameField {
    bool IsOrdinal;
    uint16_t Ordinal;
    const uint8_t* Text; // UTF-16 code units when not an ordinal
    size_t Units;        // without the terminating zero
    const uint8_t* After;
};

bool ReadNameField(const uint8_t* at, const uint8_t* end, NameField* field)
{
    if (end - at < 2)
        return false;
    if (ReadU16(at) == 0xFFFF) {
        if (end - at < 4)
            return false;
        *field = {true, ReadU16(at + 2), nullptr, 0, at + 4};
        return true;
    }
    for (const uint8_t* unit = at; end - unit >= 2; unit += 2)
        if (ReadU16(unit) == 0) {
            *field = {false, 0, at, size_t(unit - at) / 2, unit + 2};
            return true;
        }
    return false; // the string runs past the header
}

// Windows folds resource names to upper case; only ASCII is folded here,
// and a code unit outside ASCII never equals a character of `name`.
bool NameMatches(const NameField& field, uint16_t id, const char* name)
{
    if (!name)
        return field.IsOrdinal && field.Ordinal == id;
    if (field.IsOrdinal)
        return false;
    size_t i = 0;
    for (; i < field.Units; ++i) {
        const uint16_t unit = ReadU16(field.Text + 2 * i);
        if (!name[i] || unit >= 0x80 || UpperAscii(char(unit)) != UpperAscii(name[i]))
            return false;
    }
    return name[i] == 0;
}

struct Header {
    NameField Type;
    NameField Name;
    ResourceRecord Record;
    size_t Next; // where the following record starts, or `size` at the end
};

// Reads the record at `at`. The caller has made sure `at` < `size`.
ResourceWalkEnd ReadHeader(const uint8_t* image, size_t size, size_t at, Header* header)
{
    const size_t left = size - at;
    if (left < RecordSizesBytes)
        return ResourceWalkTruncated;
    const uint8_t* start = image + at;
    const uint32_t dataSize = ReadU32(start);
    const uint32_t headerSize = ReadU32(start + 4);
    // The smallest header holds two one-unit strings (empty names) and the tail.
    if (headerSize < RecordSizesBytes + 2 + 2 + HeaderTailBytes || headerSize % 4 != 0)
        return ResourceWalkGarbled;
    if (headerSize > left || dataSize > left - headerSize)
        return ResourceWalkTruncated;

    const uint8_t* tail = start + headerSize - HeaderTailBytes;
    if (!ReadNameField(start + RecordSizesBytes, tail, &header->Type))
        return ResourceWalkGarbled;
    if (!ReadNameField(header->Type.After, tail, &header->Name))
        return ResourceWalkGarbled;
    // The tail starts at the first DWORD boundary after the name, which must
    // be where the header's size puts it.
    const size_t nameEnd = size_t(header->Name.After - start);
    if ((nameEnd + 3) / 4 * 4 != headerSize - HeaderTailBytes)
        return ResourceWalkGarbled;

    header->Record = {at, start + headerSize, dataSize};
    // Both sizes fit in what is left, so this sum cannot pass `size`; the
    // padding after the last record's data may be missing.
    const size_t dataEnd = at + headerSize + dataSize;
    const size_t padding = (4 - dataEnd % 4) % 4;
    header->Next = padding > size - dataEnd ? size : dataEnd + padding;
    return ResourceFound;
}

} // namespace

ResourceWalkEnd FindResourceInImage(const uint8_t* image, size_t size, uint16_t type, uint16_t id,
    const char* name, ResourceRecord* out)
{
    *out = {0, nullptr, 0};
    if (!image)
        return ResourceWalkComplete;
    for (size_t at = 0; at < size;) {
        Header header;
        const ResourceWalkEnd read = ReadHeader(image, size, at, &header);
        if (read != ResourceFound)
            return read;
        if (type != 0 && header.Type.IsOrdinal && header.Type.Ordinal == type && NameMatches(header.Name, id, name)) {
            *out = header.Record;
            return ResourceFound;
        }
        at = header.Next;
    }
    return ResourceWalkComplete;
}

bool ReadResourceRecord(const uint8_t* image, size_t size, size_t at, ResourceRecord* out)
{
    *out = {0, nullptr, 0};
    if (!image || at >= size)
        return false;
    Header header;
    if (ReadHeader(image, size, at, &header) != ResourceFound)
        return false;
    *out = header.Record;
    return true;
}
