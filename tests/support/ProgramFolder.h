// Where the running test program lies, in Windows form. The build puts the
// modules and recording folders a program needs beside it, so no Unix path
// ever has to be translated into a Wine one.
#ifndef LUMIVANE_TESTS_SUPPORT_PROGRAMFOLDER_H
#define LUMIVANE_TESTS_SUPPORT_PROGRAMFOLDER_H

#include <string>

// The folder, ending in a backslash.
std::string ProgramFolder();

// The recording ALSA's file device writes: capture.wav in the folder `home`
// beside the running program (lumivane_alsa_home in cmake/LumivaneTesting.cmake).
std::string CaptureBesideProgram(const char* home);

#endif
