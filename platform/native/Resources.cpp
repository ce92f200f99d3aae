// Native stand-ins for the Win32 resource calls, over the art files embedded
// at build time from resources/Lumivane.rc (lumivane_resources). Like
// Windows, names are compared without regard to case and types are kept
// apart, so "Wave1" finds "WAVE1" while a bitmap's id is never found as RCDATA. Nothing here allocates; the
// images are constant data that live as long as the program.
#include "platform/Platform.h"
#include "platform/native/EmbeddedResources.h"

// The table of a program that links no resources: empty. A weak definition,
// so that the one generated from Lumivane.rc (lumivane_resources) takes its
// place wherever it is linked, and the gauge's objects link with or without it.
__attribute__((weak)) const NativeResource* EmbeddedResourceTable()
{
    static const NativeResource none[1] = {{0, 0, nullptr, nullptr, 0}};
    return none;
}

namespace {

// Windows folds resource names to upper case in the C locale, so only ASCII
// letters are folded here.
char UpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool SameNameIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (UpperAscii(*a) != UpperAscii(*b))
            return false;
    return *a == *b;
}

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

bool Matches(const NativeResource& resource, LPCSTR name)
{
    WORD id = 0;
    if (IntegerForm(name, &id))
        return !resource.Name && resource.Id == id;
    return resource.Name && SameNameIgnoringCase(resource.Name, name);
}

} // namespace

// The module handle is not looked at: a native program holds one table, the
// one linked into it, so every module finds the same resources. On Windows a
// null module means the program itself, which is where the tests look.
extern "C" HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type)
{
    WORD typeId = 0;
    if (!name || !type || !IntegerForm(type, &typeId))
        return nullptr;
    for (const NativeResource* resource = EmbeddedResourceTable(); resource->Bytes; ++resource)
        if (resource->Type == typeId && Matches(*resource, name))
            return const_cast<NativeResource*>(resource);
    return nullptr;
}

extern "C" HGLOBAL LoadResource(HMODULE, HRSRC resource)
{
    return resource ? const_cast<BYTE*>(resource->Bytes) : nullptr;
}

// The image is already in memory; locking only hands its address back.
extern "C" LPVOID LockResource(HGLOBAL loaded)
{
    return loaded;
}

extern "C" DWORD SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? resource->Size : 0;
}
