// The one door through which the gauge reaches Win32 and DirectSound.
// The windows build sees the real headers; the native build sees our own small
// stand-ins, which declare only what the gauge calls and keep the same names,
// so no gauge source carries a platform #ifdef of its own.
#ifndef LUMIVANE_PLATFORM_PLATFORM_H
#define LUMIVANE_PLATFORM_PLATFORM_H

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// Version 5 buffer descriptions are the 20-byte form the gauge hands to the
// device; later headers append a 3D algorithm GUID to the record.
#ifndef DIRECTSOUND_VERSION
#define DIRECTSOUND_VERSION 0x0500
#endif
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#else
#include "platform/native/Win32.h"
#include "platform/native/DirectSound.h"
#endif

#endif
