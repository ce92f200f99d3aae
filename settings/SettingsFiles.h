// The settings files that keep the call-out speeds between flights: one
// number each, at the root of drive C, written on every adjust and read when
// the readout is first shown.
#ifndef LUMIVANE_SETTINGS_SETTINGSFILES_H
#define LUMIVANE_SETTINGS_SETTINGSFILES_H

#include <stdint.h>
#include <stdio.h>

// 1 once one load has found and read all three files; never cleared.
extern int32_t SettingsLoaded;

// Writes the current value of Speed1, Speed2 or Speed3 to its file as "%i",
// with no line end.
void SaveSpeed(const int32_t* speed);

// Reads "C:\pelmo" into Speed3, "C:\pelmo1" into Speed1 and "C:\pelmo2" into
// Speed2, stopping at the first file that does not open. Returns 1 and sets
// SettingsLoaded when all three were read, else 0.
int32_t LoadSettings(void);

// One "%i" scan conversion over a stream: white space, an optional sign, then
// hexadecimal after 0x or 0X, octal after a leading 0, decimal otherwise,
// stopping at the first character that cannot continue the number. Returns 1
// with the value (held at the nearest 32-bit limit when it lies beyond), or 0
// when no number could be converted.
int32_t ScanInteger(FILE* stream, int32_t* value);

#endif
