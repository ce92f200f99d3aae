// The host's record formats, laid out word by word as the simulator reads
// them in place: the module's exported Linkage and ImportTable, the gauge
// header, the elements of the picture, the mouse areas of the clickable
// surface and the variable record. Every size and offset is proven at compile
// time below for the host's 32-bit pointers; a field out of place would be
// read by the host as something else entirely. A 64-bit build lays out the
// same fields with its own pointer width.
#ifndef LUMIVANE_HOST_RECORDS_H
#define LUMIVANE_HOST_RECORDS_H

#include "host/RoutineForms.h"

#include <stddef.h>
#include <stdint.h>

// Every record here is a sequence of 32-bit words with no gaps; packing to 4
// keeps the 64-bit floats of the variable records where the host puts them.
#pragma pack(push, 4)

// Element kinds.
enum : int32_t {
    StaticImageKind = 0,
    TextStringKind = 2,
    IconKind = 4,
};

// Image flags.
enum : uint32_t {
    TransparentImage = 0x0001, // pure black is not drawn
    RestoreBeneath = 0x0002,   // the host redraws what lay beneath first
    HostDisplayFlag = 0x4000,  // the host's; set on every element
};

// A null-terminated list of elements, as the gauge header and every element's
// next list refer to it.
typedef ElementHeader* ElementList[];

// One entry of a failure list: a failure code and the action for it; an entry
// with code 0 ends the list.
struct FailureRecord {
    int32_t Code;
    int32_t Action;
};

// A host variable as an element names it: the id, then six words the host
// fills while the gauge lives.
struct ElementVariable {
    int32_t Id;
    uint32_t HostWords[6];
};

// The fields every element record begins with.
struct ElementHeader {
    int32_t Kind;
    int32_t BitmapId; // -1 for none
    int32_t X;
    int32_t Y;
    uint32_t Reserved1[4];
    GaugeHeader* Gauge;
    void* HostLink;
    ElementHeader** Next; // null-terminated list, or null
    FailureRecord* Failures;
    uint32_t ImageFlags;
    uint32_t Reserved2[2];
};

struct StaticImageElement {
    ElementHeader Header;
    // Filled by the host's element tree install; the mouse area install is
    // handed this value advanced by 4 bytes.
    uint8_t* HostFilled;
    uint32_t HostWords[4];
};

struct IconElement {
    ElementHeader Header;
    ElementVariable Variable;
    IconCallback Callback;
    uint32_t Settings[11]; // the sixth is the image count
};

struct TextElement {
    ElementHeader Header;
    ElementVariable Variables[3];
    uint32_t HostWords1[9];
    TextCallback Callback;
    char* TextBuffer; // the host's buffer: the character count and a zero
    uint32_t HostWord;
    int32_t BoxWidth;
    int32_t BoxHeight;
    uint32_t Reserved1[2];
    uint32_t TextColour; // COLORREF, 0x00bbggrr
    uint32_t BackgroundColour;
    uint32_t HighlightColour;
    uint32_t HostWords2[7];
    char FontFace[32];
    int32_t FontWeight;
    uint32_t CharSet;
    uint32_t FormatFlags; // DrawText flags
    int32_t CharCount;
    uint32_t Reserved2[4];
};

// Mouse area record types.
enum : int32_t {
    AreaListEnd = 0,
    AreaGroupStart = 1,
    AreaInGroup = 2,
    AreaGroupEnd = 3,
};

// Mouse event bits.
enum : uint32_t {
    LeftButtonDown = 0x20000000,
    RepeatWhileHeld = 0x00200000,
};

struct MouseArea {
    int32_t Type;
    int32_t X;
    int32_t Y;
    int32_t Width;
    int32_t Height;
    int32_t Cursor;
    int32_t HelpId;
    uint32_t Events;
    int32_t EventId;
    AreaHandler Handler;
    uint32_t Reserved;
};

// Cursor codes of a mouse area.
enum : int32_t {
    NoCursor = -1,
    UpArrowCursor = 1,
    DownArrowCursor = 2,
    HandCursor = 5,
};

// The gauge header, which the module's Linkage lists.
struct GaugeHeader {
    uint32_t Version; // 0x262
    const char* Name;
    ElementHeader** Elements; // null-terminated; the background element
    GaugeRoutine Query;
    GaugeRoutineWithValue Install;
    GaugeRoutine Initialize;
    GaugeRoutine Update;
    GaugeRoutineWithValue Generate;
    GaugeRoutine Draw;
    GaugeRoutine Kill;
    uint32_t Reserved1;
    uint32_t Word40;
    uint32_t Reserved2[10];
};

// The exported `Linkage`: the module routines and a null-terminated list of
// gauge headers.
struct ModuleLinkage {
    uint32_t Magic; // 0x13
    GaugeRoutine ModuleInit;
    GaugeRoutine ModuleDeinit;
    uint32_t Reserved[3];
    GaugeHeader* Gauges[2]; // one gauge, then null
};

// The exported `ImportTable`: one import, number 0x0F, whose table address
// the host writes in; an all-zero entry ends the list.
struct ModuleImports {
    uint32_t ImportNumber;
    HostServiceAddress* Services;
    uint32_t EndNumber;
    void* EndAddress;
};

// A variable record handed to the variable lookup service: the variable's
// number, then the value the service writes at byte 12.
struct VariableRecord {
    int32_t Id;
    uint32_t HostWords[2];
    double Value;
    uint32_t HostTail[3];
};

#pragma pack(pop)

#if UINTPTR_MAX == 0xFFFFFFFFu

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

static_assert(sizeof(ElementVariable) == 28, "element variable: id and six words");

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

static_assert(sizeof(VariableRecord) == 32, "variable record: 32 bytes");
static_assert(offsetof(VariableRecord, Value) == 12, "the host writes the value at 12");

#endif

#endif
