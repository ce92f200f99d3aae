// The few Win32 names the gauge uses, for the native Linux build. Only what the
// gauge calls is declared, with the behaviour the gauge relies on; anything
// else is deliberately absent so that a new dependency shows up as a build
// error instead of a silent stand-in.
#ifndef LUMIVANE_PLATFORM_NATIVE_WIN32_H
#define LUMIVANE_PLATFORM_NATIVE_WIN32_H

#include <stddef.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int BOOL;
typedef int32_t HRESULT;
typedef char CHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;
typedef uintptr_t UINT_PTR;
typedef size_t SIZE_T;

typedef struct NativeModule* HMODULE;
typedef HMODULE HINSTANCE;
// The address of a resource's record in the module's .res image.
typedef struct NativeResource* HRSRC;
typedef void* HGLOBAL;
typedef void* HLOCAL;
typedef struct NativeWindow* HWND;

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Integer resource names and types travel in the low 16 bits of a pointer.
#define MAKEINTRESOURCEA(i) ((LPSTR)(UINT_PTR)(WORD)(i))
#define IS_INTRESOURCE(p) ((((UINT_PTR)(p)) >> 16) == 0)
#define RT_BITMAP MAKEINTRESOURCEA(2)
#define RT_RCDATA MAKEINTRESOURCEA(10)

#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

// The wave format record as Windows lays it out: 18 bytes with no padding,
// since the gauge hands a pointer into a RIFF "fmt " chunk straight to the
// sound device as this record.
#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX;
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
#define WAVE_FORMAT_PCM 1

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#ifdef __cplusplus
extern "C" {
#endif

// Formats like the Windows call: at most 1023 characters and the zero.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

// The handle of a loaded shared object whose file name (without folders) is
// the given name, compared without regard to case; null if none is loaded.
HMODULE GetModuleHandleA(LPCSTR name);

// There are no windows here; the gauge passes the result on unexamined.
HWND GetActiveWindow(void);

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL block);

// Resources embedded at build time: names compared without regard to case,
// types kept apart. See platform/native/Resources.cpp.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL loaded);
DWORD SizeofResource(HMODULE module, HRSRC resource);

#ifdef __cplusplus
}
#endif

#endif
