// The forms of every routine that crosses between a host and a gauge module:
// the gauge's routines, the callbacks and handlers its records bind, and the
// host's services. All of them use the callee-cleans convention: the routine
// removes its own arguments. A routine declared with another form would
// unbalance the caller's stack, and in the simulator that is a crash.
// Nothing here belongs to either side; both include it.
#ifndef LUMIVANE_HOST_ROUTINEFORMS_H
#define LUMIVANE_HOST_ROUTINEFORMS_H

#include <stdint.h>

// 64-bit builds have one calling convention only; the native build uses it.
#if defined(_WIN32) && !defined(_WIN64)
#define GAUGE_STDCALL __stdcall
#else
#define GAUGE_STDCALL
#endif

struct GaugeHeader;
struct ElementHeader;
struct MouseArea;
struct VariableRecord;

// Gauge routines of the gauge header: query, initialize, update, draw and
// kill take nothing; install and generate take one value that is the host's.
typedef void(GAUGE_STDCALL* GaugeRoutine)(void);
typedef void(GAUGE_STDCALL* GaugeRoutineWithValue)(uint32_t value);

// Icon callback. Result: the image to show, 0.0 for the icon's one image,
// -1.0 for none. Removes 4 bytes of arguments.
typedef double(GAUGE_STDCALL* IconCallback)(void* element);

// Text callback: one double in, one out (8 bytes of arguments); argument and
// result are the host's.
typedef double(GAUGE_STDCALL* TextCallback)(double value);

// Mouse area handler: both arguments are the host's; the result is 1.
typedef int32_t(GAUGE_STDCALL* AreaHandler)(uint32_t point, uint32_t events);

// The host's services, one form per kind of argument list. No result is used.
typedef void(GAUGE_STDCALL* ElementService)(ElementHeader* element);
typedef void(GAUGE_STDCALL* ElementValueService)(ElementHeader* element, uint32_t value);
typedef void(GAUGE_STDCALL* AreaService)(MouseArea* areas, GaugeHeader* gauge);
typedef void(GAUGE_STDCALL* AreaInstallService)(MouseArea* areas, GaugeHeader* gauge, void* place);
typedef void(GAUGE_STDCALL* VariableService)(VariableRecord* variable);

// An entry of the host's service table, before it is cast to its form.
typedef void(GAUGE_STDCALL* HostServiceAddress)(void);

#endif
