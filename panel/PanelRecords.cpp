// Proof, at compile time, that the records the host reads in place have the
// host's sizes and field offsets to the byte. Only the 32-bit build has the
// host's pointer size; the native build lays out the same fields with its own.
#include "callouts/Lamps.h"
#include "module/GaugeModule.h"
#include "panel/PanelRecords.h"

#include <stddef.h>

#if defined(_WIN32) && !defined(_WIN64)

static_assert(sizeof(GaugeHeader) == 88, "gauge header: 22 words");
static_assert(offsetof(GaugeHeader, Name) == 4);
static_assert(offsetof(GaugeHeader, Elements) == 8);
static_assert(offsetof(GaugeHeader, Query) == 12);
static_assert(offsetof(GaugeHeader, Install) == 16);
static_assert(offsetof(GaugeHeader, Initialize) == 20);
static_assert(offsetof(GaugeHeader, Update) == 24);
static_assert(offsetof(GaugeHeader, Generate) == 28);
static_assert(offsetof(GaugeHeader, Draw) == 32);
static_assert(offsetof(GaugeHeader, Kill) == 36);
static_assert(offsetof(GaugeHeader, Word40) == 44);
static_assert(offsetof(GaugeHeader, Reserved2) == 48);

static_assert(sizeof(ModuleLinkage) == 32, "Linkage: 8 words");
static_assert(offsetof(ModuleLinkage, ModuleInit) == 4);
static_assert(offsetof(ModuleLinkage, ModuleDeinit) == 8);
static_assert(offsetof(ModuleLinkage, Gauges) == 24);

static_assert(sizeof(ModuleImports) == 16, "ImportTable: 4 words");
static_assert(offsetof(ModuleImports, Services) == 4);
static_assert(offsetof(ModuleImports, EndAddress) == 12);

static_assert(sizeof(ElementHeader) == 60, "element: 15 common words");
static_assert(offsetof(ElementHeader, BitmapId) == 4);
static_assert(offsetof(ElementHeader, X) == 8);
static_assert(offsetof(ElementHeader, Y) == 12);
static_assert(offsetof(ElementHeader, Gauge) == 32);
static_assert(offsetof(ElementHeader, HostLink) == 36);
static_assert(offsetof(ElementHeader, Next) == 40);
static_assert(offsetof(ElementHeader, Failures) == 44);
static_assert(offsetof(ElementHeader, ImageFlags) == 48);

static_assert(sizeof(ElementVariable) == 28, "variable record: id and six words");

static_assert(sizeof(StaticImageElement) == 80, "static image: 5 more words");
static_assert(offsetof(StaticImageElement, HostFilled) == 60);

static_assert(sizeof(IconElement) == 136, "icon: variable, callback, 11 settings");
static_assert(offsetof(IconElement, Variable) == 60);
static_assert(offsetof(IconElement, Callback) == 88);
static_assert(offsetof(IconElement, Settings) == 92);

static_assert(sizeof(TextElement) == 312, "text string: 63 more words");
static_assert(offsetof(TextElement, Variables) == 60);
static_assert(offsetof(TextElement, HostWords1) == 144);
static_assert(offsetof(TextElement, Callback) == 180);
static_assert(offsetof(TextElement, TextBuffer) == 184);
static_assert(offsetof(TextElement, HostWord) == 188);
static_assert(offsetof(TextElement, BoxWidth) == 192);
static_assert(offsetof(TextElement, BoxHeight) == 196);
static_assert(offsetof(TextElement, TextColour) == 208);
static_assert(offsetof(TextElement, BackgroundColour) == 212);
static_assert(offsetof(TextElement, HighlightColour) == 216);
static_assert(offsetof(TextElement, FontFace) == 248);
static_assert(offsetof(TextElement, FontWeight) == 280);
static_assert(offsetof(TextElement, CharSet) == 284);
static_assert(offsetof(TextElement, FormatFlags) == 288);
static_assert(offsetof(TextElement, CharCount) == 292);

static_assert(sizeof(FailureRecord) * 3 == 24, "failure list: six words");

static_assert(sizeof(MouseArea) == 44, "mouse area: 11 words");
static_assert(offsetof(MouseArea, Cursor) == 20);
static_assert(offsetof(MouseArea, HelpId) == 24);
static_assert(offsetof(MouseArea, Events) == 28);
static_assert(offsetof(MouseArea, EventId) == 32);
static_assert(offsetof(MouseArea, Handler) == 36);

static_assert(sizeof(AirspeedVariable) == 32, "airspeed record: 32 bytes");
static_assert(offsetof(AirspeedVariable, Value) == 12, "the host writes the value at 12");

#endif
