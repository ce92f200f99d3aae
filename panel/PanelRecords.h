// The host's record formats for the gauge's picture and clickable surface:
// elements and mouse areas, laid out word by word as the simulator reads them
// in place. In the 32-bit build every size and offset is proven at compile
// time (panel/PanelRecords.cpp); a field out of place would be read by the
// host as something else entirely.
#ifndef LUMIVANE_PANEL_PANELRECORDS_H
#define LUMIVANE_PANEL_PANELRECORDS_H

#include "panel/RoutineForms.h"

#include <stdint.h>

struct GaugeHeader;
struct ElementHeader;

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

#pragma pack(pop)

#endif
