// The chain is matched element by element, kind and bitmap, and the areas
// record by record, kind and cursor: a gauge that shares Lumivane's length
// but not its records is not mistaken for it.
#include "bench/lumivane/PanelChain.h"

// The host's text argument must never pass for the readout's word that a
// settings file would not open: the readout's result tells the two apart.
static_assert(GaugeHost::TextArgument != ReadoutLoadStopped, "the readout's stop reads as the host's argument");

const int32_t PanelChainKinds[PanelChainLength] = {StaticImageKind, IconKind, IconKind, IconKind,
                                                   IconKind,        IconKind, IconKind, TextStringKind};
const int32_t PanelChainBitmaps[PanelChainLength] = {4096, 8192, 8195, 8198, 12288, 12291, 12294, -1};

namespace {

// The areas after the group's start, in list order, with their cursors.
constexpr int AreaCount = 5;
// The selector buttons run from Speed3's at the top to Speed1's; selector
// k is Speed k's.
const PanelControl AreaControls[AreaCount] = {PanelControl::Decrease, PanelControl::Increase,
                                              PanelControl::Selector3, PanelControl::Selector2,
                                              PanelControl::Selector1};
const int32_t AreaCursors[AreaCount] = {DownArrowCursor, UpArrowCursor, HandCursor, HandCursor, HandCursor};

bool IsLumivaneAreas(const MouseArea* areas)
{
    if (!areas || areas[0].Type != AreaGroupStart)
        return false;
    for (int i = 0; i < AreaCount; ++i)
        if (areas[i + 1].Type != AreaInGroup || areas[i + 1].Cursor != AreaCursors[i])
            return false;
    return areas[AreaCount + 1].Type == AreaGroupEnd;
}

} // namespace

PanelDisplay ReadDisplay(const PassResults* results)
{
    PanelDisplay display;
    if (!results || results->Count != PanelChainLength)
        return display;
    for (int i = 0; i < PanelChainLength; ++i)
        if (results->Elements[i].Kind != PanelChainKinds[i] || results->Elements[i].BitmapId != PanelChainBitmaps[i])
            return display;
    display.Lumivane = true;
    int lit = 0;
    for (int k = 0; k < PanelSpeeds; ++k) {
        display.Lamps[k] = results->Elements[PanelLampElements[k]].Image == 0;
        display.Marks[k] = results->Elements[PanelMarkElements[k]].Image == 0;
        if (display.Marks[k]) {
            display.Selected = k;
            ++lit;
        }
    }
    if (lit != 1)
        display.Selected = -1;
    const ElementResult& readout = results->Elements[PanelReadoutElement];
    display.Readout = readout.Text;
    display.Formatted = readout.Called && readout.Result == readout.Argument;
    display.LoadStopped = readout.Called && readout.Result == ReadoutLoadStopped;
    return display;
}

bool ReadoutNumber(const char* text, int32_t* value)
{
    size_t i = 0;
    while (text[i] == ' ')
        ++i;
    const bool negative = text[i] == '-';
    if (negative)
        ++i;
    const size_t digits = i;
    int64_t number = 0;
    for (; text[i] >= '0' && text[i] <= '9' && i - digits < 10; ++i)
        number = number * 10 + (text[i] - '0');
    if (i == digits || text[i] != 0)
        return false;
    number = negative ? -number : number;
    if (number < INT32_MIN || number > INT32_MAX)
        return false;
    *value = int32_t(number);
    return true;
}

PanelControl AreaControl(const MouseArea* areas, int number)
{
    if (number < 1 || number > AreaCount || !IsLumivaneAreas(areas))
        return PanelControl::None;
    return AreaControls[number - 1];
}

bool ControlMiddle(const MouseArea* areas, PanelControl control, int* x, int* y)
{
    if (!IsLumivaneAreas(areas))
        return false;
    for (int i = 0; i < AreaCount; ++i) {
        if (AreaControls[i] != control)
            continue;
        const MouseArea& a = areas[i + 1];
        *x = a.X + a.Width / 2;
        *y = a.Y + a.Height / 2;
        return true;
    }
    return false;
}
