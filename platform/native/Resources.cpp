// Stand-ins for the Win32 resource calls, natively and in the web page, over
// the .res image of the module they are linked into (OwnResourceImage in
// platform/native/ResourceImage.h). Like Windows, names are compared without
// regard to case and types are kept apart, so "Wave1" finds "WAVE1" while a
// bitmap's id is never found as RCDATA. Nothing here allocates, and nothing
// reads outside the image.
#include "platform/Platform.h"
#include "platform/native/ResourceImage.h"

namespace {

// A name or type is either an integer in the low 16 bits of the pointer, or
// a string; "#4096" is the string form of the integer 4096, as on Windows.
bool IntegerForm(LPCSTR name, WORD* value)
{
    if (IS_INTRESOURCE(name)) {
        *value = WORD(UINT_PTR(name));
        return true;
    }
    if (name[0] != '#' || !name[1])
        return false;
    DWORD number = 0;
    for (const char* digit = name + 1; *digit; ++digit) {
        if (*digit < '0' || *digit > '9')
            return false;
        number = number * 10 + DWORD(*digit - '0');
        if (number > 0xFFFF)
            return false;
    }
    *value = WORD(number);
    return true;
}

// The record a handle stands for: the handle is the address of the record's
// header, read again with every check, so a handle that is not one of ours
// finds nothing.
bool RecordOf(HRSRC resource, ResourceRecord* record)
{
    const uint8_t* at = reinterpret_cast<const uint8_t*>(resource);
    size_t size = 0;
    const uint8_t* start = OwnResourceImage(&size);
    if (!resource || !start || at < start || size_t(at - start) >= size) {
        *record = {0, nullptr, 0};
        return false;
    }
    return ReadResourceRecord(start, size, size_t(at - start), record);
}

} // namespace

// The module handle is not looked at: each module's stand-ins search the
// section of the module they are linked into. On Windows a null module
// means the program itself, which is where the tests look.
extern "C" HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    WORD typeId = 0;
    if (!name || !type || !IntegerForm(type, &typeId))
        return nullptr;
    WORD id = 0;
    const char* text = IntegerForm(name, &id) ? nullptr : name;
    ResourceRecord record;
    size_t size = 0;
    const uint8_t* image = OwnResourceImage(&size);
    if (FindResourceInImage(image, size, typeId, id, text, &record) != ResourceFound)
        return nullptr;
    return reinterpret_cast<HRSRC>(const_cast<uint8_t*>(image + record.At));
}

extern "C" HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    ResourceRecord record;
    return RecordOf(resource, &record) ? const_cast<uint8_t*>(record.Data) : nullptr;
}

// The image is already in memory; locking only hands its address back.
extern "C" LPVOID LockResource(HGLOBAL loaded)
{
    return loaded;
}

extern "C" DWORD SizeofResource(HMODULE, HRSRC resource)
{
    ResourceRecord record;
    return RecordOf(resource, &record) ? record.Size : 0;
}
