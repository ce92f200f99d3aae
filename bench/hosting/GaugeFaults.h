// A fault in the module the bench hosts (an access violation, a division by
// zero in one of its routines, callbacks or handlers) is the module's, and
// must end the run with where it happened rather than take the bench down
// with a message of the system's. The windows build catches it: the call
// into the module that faulted is ended at once and returns to the host as
// if it had returned, and GaugeHost (bench/hosting/GaugeHost.h) then says
// which routine or element it was and calls the module no more. The native
// build catches nothing: under the sanitizers their report says what and
// where, and the process ends non-zero, as it does on a signal without them.
//
// A fault of the bench's own, outside any call into the module, ends the
// program with one line and a status of its own (windows build; natively the
// sanitizer's report and its status).
#ifndef LUMIVANE_BENCH_HOSTING_GAUGEFAULTS_H
#define LUMIVANE_BENCH_HOSTING_GAUGEFAULTS_H

#include <string>

// True where a module's faults are caught.
extern const bool GaugeFaultsCaught;

// Starts catching the faults of calls into `module` (a loaded module's
// handle), for as long as it stays loaded; once a process is enough for any
// number of modules.
void CatchGaugeFaults(void* module);

// Whether the last call into the module faulted, and what the fault was:
// "an access violation writing 0x00000000 at Faulting.gau+0x1234". Clears
// it. False (and nothing said) where the call returned.
bool TakeGaugeFault(std::string* what);

// From now on a fault of the program's own outside any call into the module
// prints "PROGRAM: ..." with what and where, and ends the process with
// `status`.
void EndOnOwnFault(const char* program, int status);

#endif
