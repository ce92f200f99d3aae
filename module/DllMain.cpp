// The library entry point. Windows calls it on load, unload and thread start
// and end; the gauge has nothing to set up, so every call succeeds. It is the
// DLL's entry point itself (there are no start files), so no C runtime
// initialisation runs before or after it.
#include "platform/Platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
