// The three call-out speeds, the selection, and the routines the pilot reaches
// them through: the adjust and select handlers of the mouse areas and the
// callbacks of the selector marks.
#ifndef LUMIVANE_SETTINGS_SPEEDS_H
#define LUMIVANE_SETTINGS_SPEEDS_H

#include "host/RoutineForms.h"

#include <stdint.h>

// Module-wide, never reset by kill or install: only a fresh load of the module
// brings back 80, 90, 100 and Speed3 selected.
extern int32_t Speed1;
extern int32_t Speed2;
extern int32_t Speed3;

// 0, 1 or 2 for Speed1, Speed2, Speed3. Never saved.
extern int32_t SelectedSpeed;

// The selected speed's value, by SelectedSpeed.
int32_t* SelectedSpeedValue(void);

int32_t GAUGE_STDCALL SpeedDownHandler(uint32_t point, uint32_t events);
int32_t GAUGE_STDCALL SpeedUpHandler(uint32_t point, uint32_t events);
int32_t GAUGE_STDCALL SelectSpeed1Handler(uint32_t point, uint32_t events);
int32_t GAUGE_STDCALL SelectSpeed2Handler(uint32_t point, uint32_t events);
int32_t GAUGE_STDCALL SelectSpeed3Handler(uint32_t point, uint32_t events);

double GAUGE_STDCALL Speed1MarkCallback(void* element);
double GAUGE_STDCALL Speed2MarkCallback(void* element);
double GAUGE_STDCALL Speed3MarkCallback(void* element);

#endif
