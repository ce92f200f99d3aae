// Catching a hosted module's faults on Windows. A fault in the module's own
// code is taken first, by a vectored handler, before any frame handler could
// swallow it; a fault inside a system library the module called is left to
// the library's own handlers first (some answer a bad pointer with an error,
// as they would under the simulator) and taken by the unhandled-exception
// filter if none does; one in the program's own code, even in a service
// the module called, is the bench's. Either way the faulting call is
// abandoned: the handler points the thread at the probe's way out
// (GaugeCallRecovery in bench/hosting/StackProbe.cpp), which puts back the
// stack, the registers, the frame-handler chain and the FPU the call started
// with and returns to the host. Nothing here allocates or formats: a fault
// may come while the module holds the heap's lock, so the handler only notes
// what it saw.
#include "bench/hosting/GaugeFaults.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdint.h>
#include <stdio.h>

extern "C" {
// The probe's frame while a call into the module is under way, else 0.
extern volatile uint32_t GaugeCallFrame;
void GaugeCallRecovery(void);
}

const bool GaugeFaultsCaught = true;

namespace {

struct SeenFault {
    DWORD Code;
    uintptr_t Address;
    bool Touched; // an access violation's kind and target are known
    ULONG_PTR Access, Target;
};

volatile bool Faulted = false;
SeenFault Seen;

// The images of the modules being hosted, newest last: a fault inside one
// is the module's own.
struct Image {
    uintptr_t Start, End;
};
constexpr int MostImages = 8;
Image Images[MostImages];
int ImageCount = 0;

const char* OwnProgram = nullptr;
int OwnStatus = 0;
LPTOP_LEVEL_EXCEPTION_FILTER Previous = nullptr;

// The exceptions that are a fault of the code that raised them, with what
// they are called in a message.
const struct {
    DWORD Code;
    const char* Name;
} Faults[] = {
    {EXCEPTION_ACCESS_VIOLATION, "an access violation"},
    {EXCEPTION_IN_PAGE_ERROR, "a page that could not be read in"},
    {EXCEPTION_DATATYPE_MISALIGNMENT, "a misaligned access"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "an array bound exceeded"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "an integer division by zero"},
    {EXCEPTION_INT_OVERFLOW, "an integer overflow"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "a floating-point division by zero"},
    {EXCEPTION_FLT_INVALID_OPERATION, "a floating-point exception"},
    {EXCEPTION_FLT_OVERFLOW, "a floating-point exception"},
    {EXCEPTION_FLT_UNDERFLOW, "a floating-point exception"},
    {EXCEPTION_FLT_INEXACT_RESULT, "a floating-point exception"},
    {EXCEPTION_FLT_DENORMAL_OPERAND, "a floating-point exception"},
    {EXCEPTION_FLT_STACK_CHECK, "a floating-point exception"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "an illegal instruction"},
    {EXCEPTION_PRIV_INSTRUCTION, "a privileged instruction"},
    {EXCEPTION_STACK_OVERFLOW, "a stack overflow"},
};

// What the exception is called, or null when it is no fault (a debugger's
// breakpoint, a C++ exception, a control-C).
const char* FaultName(DWORD code)
{
    for (const auto& fault : Faults)
        if (fault.Code == code)
            return fault.Name;
    return nullptr;
}

bool IsFault(DWORD code)
{
    return FaultName(code) != nullptr;
}

// The extent of a loaded image, from its own headers, which the loader has
// mapped and checked.
Image ExtentOf(const void* module)
{
    const uint8_t* base = static_cast<const uint8_t*>(module);
    const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return {reinterpret_cast<uintptr_t>(base), reinterpret_cast<uintptr_t>(base) + nt->OptionalHeader.SizeOfImage};
}

// The program's own image: a fault there is the bench's, even in a service
// the module called.
Image Program = {0, 0};

bool InHostedModule(uintptr_t address)
{
    for (int i = 0; i < ImageCount; ++i)
        if (address >= Images[i].Start && address < Images[i].End)
            return true;
    return false;
}

SeenFault Note(const EXCEPTION_RECORD* record)
{
    SeenFault fault = {record->ExceptionCode, reinterpret_cast<uintptr_t>(record->ExceptionAddress), false, 0, 0};
    if ((fault.Code == EXCEPTION_ACCESS_VIOLATION || fault.Code == EXCEPTION_IN_PAGE_ERROR) &&
        record->NumberParameters >= 2) {
        fault.Touched = true;
        fault.Access = record->ExceptionInformation[0];
        fault.Target = record->ExceptionInformation[1];
    }
    return fault;
}

LONG Abandon(EXCEPTION_POINTERS* pointers)
{
    Seen = Note(pointers->ExceptionRecord);
    Faulted = true;
    pointers->ContextRecord->Eip = DWORD(reinterpret_cast<uintptr_t>(&GaugeCallRecovery));
    return EXCEPTION_CONTINUE_EXECUTION;
}

LONG CALLBACK FirstChance(EXCEPTION_POINTERS* pointers)
{
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (GaugeCallFrame && IsFault(record->ExceptionCode) &&
        InHostedModule(reinterpret_cast<uintptr_t>(record->ExceptionAddress)))
        return Abandon(pointers);
    return EXCEPTION_CONTINUE_SEARCH;
}

// "an access violation writing 0x00000000 at Faulting.gau+0x1234": the
// code's place named by the module that holds it, where one does.
std::string Describe(const SeenFault& fault)
{
    char text[400], unnamed[40];
    const char* name = FaultName(fault.Code);
    if (!name) {
        snprintf(unnamed, sizeof unnamed, "the exception 0x%08lX", static_cast<unsigned long>(fault.Code));
        name = unnamed;
    }
    int used = 0;
    if (fault.Touched)
        used = snprintf(text, sizeof text, "%s %s 0x%08lX at ", name,
            fault.Access == 0 ? "reading" : fault.Access == 8 ? "executing" : "writing",
            static_cast<unsigned long>(fault.Target));
    else
        used = snprintf(text, sizeof text, "%s at ", name);
    HMODULE holder = nullptr;
    char path[MAX_PATH] = {};
    // A call through a null or small pointer faults in the first page,
    // which no module holds (and a null address would name the program).
    const DWORD lookUp = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (fault.Address >= 0x10000 && GetModuleHandleExA(lookUp, reinterpret_cast<LPCSTR>(fault.Address), &holder) &&
        GetModuleFileNameA(holder, path, sizeof path) > 0) {
        const char* file = path;
        for (const char* c = path; *c; ++c)
            if (*c == '\\' || *c == '/')
                file = c + 1;
        snprintf(text + used, sizeof text - size_t(used), "%s+0x%lX", file,
            static_cast<unsigned long>(fault.Address - reinterpret_cast<uintptr_t>(holder)));
    } else {
        snprintf(text + used, sizeof text - size_t(used), "0x%08lX", static_cast<unsigned long>(fault.Address));
    }
    return text;
}

LONG WINAPI Unhandled(EXCEPTION_POINTERS* pointers)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(pointers->ExceptionRecord->ExceptionAddress);
    const bool own = at >= Program.Start && at < Program.End;
    if (GaugeCallFrame && IsFault(pointers->ExceptionRecord->ExceptionCode) && !own)
        return Abandon(pointers);
    if (OwnProgram) {
        fprintf(stderr, "%s: the bench itself failed: %s; this is a fault of the bench, not of the module\n",
            OwnProgram, Describe(Note(pointers->ExceptionRecord)).c_str());
        fflush(stderr);
        TerminateProcess(GetCurrentProcess(), UINT(OwnStatus));
    }
    return Previous ? Previous(pointers) : EXCEPTION_CONTINUE_SEARCH;
}

void Install()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    Program = ExtentOf(GetModuleHandleA(nullptr));
    AddVectoredExceptionHandler(1, FirstChance);
    Previous = SetUnhandledExceptionFilter(Unhandled);
}

} // namespace

void CatchGaugeFaults(void* module)
{
    Install();
    if (!module)
        return;
    const Image image = ExtentOf(module);
    for (int i = 0; i < ImageCount; ++i)
        if (Images[i].Start == image.Start && Images[i].End == image.End)
            return;
    if (ImageCount == MostImages) {
        for (int i = 1; i < MostImages; ++i)
            Images[i - 1] = Images[i];
        --ImageCount;
    }
    Images[ImageCount++] = image;
}

bool TakeGaugeFault(std::string* what)
{
    if (!Faulted)
        return false;
    Faulted = false;
    *what = Describe(Seen);
    return true;
}

void EndOnOwnFault(const char* program, int status)
{
    Install();
    OwnProgram = program;
    OwnStatus = status;
}
