// The folder the running program was started from, as the system knows it,
// for what ships beside the program (the release zip keeps the gauge module
// beside the bench). Each platform asks in a file of its own.
#ifndef LUMIVANE_BENCH_FILES_PROGRAMFOLDER_H
#define LUMIVANE_BENCH_FILES_PROGRAMFOLDER_H

#include <string>

// The program's folder with its trailing separator; empty when the system
// does not say.
std::string RunningProgramFolder();

#endif
