// Pointing a loaded module's imports somewhere else, the way a debugging host
// listens in: each hook names a DLL and a function the module imports by
// name, the bench's replacement, and a place for the address the slot held,
// so that the replacement can pass calls on. The sound tap
// (DirectSoundCreate), the settings sandbox (fopen) and the call counting
// (bench/measuring/SystemCallHooks.h) are hooks; each passes calls on to what it found in
// the slot, so that one can stand in front of another. Only the windows build
// has them (ImportHooks.cpp is its own): the native module takes its few
// host-provided symbols from the bench program itself.
#ifndef LUMIVANE_BENCH_IMPORTHOOKS_H
#define LUMIVANE_BENCH_IMPORTHOOKS_H

struct ImportHook {
    const char* Dll;      // compared without regard to case, e.g. "msvcrt.dll"
    const char* Function; // the imported name, e.g. "fopen"
    void* Replacement;
    void** Original;      // receives what the slot held; may be null
    bool Patched;         // set when the module's slot now holds Replacement
};

// Patches every hook whose DLL and function the module imports; returns how
// many were patched. A hook already patched is left alone.
int HookImports(void* module, ImportHook* hooks, int count);

#endif
