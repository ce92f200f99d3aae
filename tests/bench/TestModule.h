// Loads the built Lumivane.gau for the bench's tests as a host loads it: the
// native shared object by its path in the build, the DLL from beside the test
// program under Wine. Only what the painter and the resource search need;
// the module stays loaded until the program ends.
#ifndef LUMIVANE_TESTS_BENCH_TESTMODULE_H
#define LUMIVANE_TESTS_BENCH_TESTMODULE_H

#include "host/Records.h"

// The module's handle (an HMODULE or a dlopen handle), or null.
void* LoadTestModule();

// The module's exported Linkage, or null.
const ModuleLinkage* TestModuleLinkage(void* module);

// The handle of the test program itself, which carries no resources.
void* TestProgramHandle();

#endif
