// The gauge's picture and clickable surface as the host reads them: a chain of
// eight elements from the background to the readout, evaluated and drawn in
// that order, and eight mouse area records. Nothing here is written by the
// gauge's code; the host fills its own fields in place.
#include "panel/Panel.h"

#include "callouts/Lamps.h"
#include "panel/PanelRecords.h"
#include "settings/Readout.h"
#include "settings/Speeds.h"

namespace {

// Each next list holds exactly one element.
ElementHeader* BackgroundNext[] = {&Lamp1Element.Header, nullptr};
ElementHeader* Lamp1Next[] = {&Lamp2Element.Header, nullptr};
ElementHeader* Lamp2Next[] = {&Lamp3Element.Header, nullptr};
ElementHeader* Lamp3Next[] = {&Speed1MarkElement.Header, nullptr};
ElementHeader* Speed1MarkNext[] = {&Speed2MarkElement.Header, nullptr};
ElementHeader* Speed2MarkNext[] = {&Speed3MarkElement.Header, nullptr};
ElementHeader* Speed3MarkNext[] = {&ReadoutElement.Header, nullptr};

// All icons here have one image (panel/PanelRecords.h) and share one
// failure list.
constexpr IconElement Icon(int32_t bitmap, int32_t x, int32_t y, ElementHeader** next, IconCallback callback)
{
    return IconRecord(&Gauge, bitmap, x, y, next, IconFailures, callback);
}

} // namespace

ElementList GaugeElements = {&BackgroundElement.Header, nullptr};

// One failure entry, code 2 with action 0, and the entry that ends the list.
FailureRecord IconFailures[3] = {{2, 0}, {0, 0}, {0, 0}};

StaticImageElement BackgroundElement = BackgroundRecord(&Gauge, BackgroundNext);

IconElement Lamp1Element = Icon(8192, 22, 7, Lamp1Next, Lamp1Callback);
IconElement Lamp2Element = Icon(8195, 47, 7, Lamp2Next, Lamp2Callback);
IconElement Lamp3Element = Icon(8198, 72, 7, Lamp3Next, Lamp3Callback);
IconElement Speed1MarkElement = Icon(12288, 7, 51, Speed1MarkNext, Speed1MarkCallback);
IconElement Speed2MarkElement = Icon(12291, 7, 32, Speed2MarkNext, Speed2MarkCallback);
IconElement Speed3MarkElement = Icon(12294, 7, 13, Speed3MarkNext, Speed3MarkCallback);

TextElement ReadoutElement = ReadoutRecord(&Gauge, ReadoutCallback);

double GAUGE_STDCALL ReadoutCallback(double value)
{
    return FillReadout(ReadoutElement.TextBuffer, value);
}

// The group is the whole gauge. The adjust areas repeat while the button is
// held; the selector buttons act once per press.
MouseArea MouseAreas[8] = {
    {AreaGroupStart, 0, 0, 0, 0, -1, 0, 0, 0, nullptr, 0},
    {AreaInGroup, 25, 35, 30, 38, 2, 0, LeftButtonDown | RepeatWhileHeld, 0, SpeedDownHandler, 0},
    {AreaInGroup, 57, 25, 30, 38, 1, 0, LeftButtonDown | RepeatWhileHeld, 0, SpeedUpHandler, 0},
    {AreaInGroup, 3, 12, 14, 14, 5, 0, LeftButtonDown, 0, SelectSpeed3Handler, 0},
    {AreaInGroup, 3, 31, 14, 14, 5, 0, LeftButtonDown, 0, SelectSpeed2Handler, 0},
    {AreaInGroup, 3, 50, 14, 14, 5, 0, LeftButtonDown, 0, SelectSpeed1Handler, 0},
    {AreaGroupEnd, 0, 0, 0, 0, -1, 0, 0, 0, nullptr, 0},
    {AreaListEnd, 0, 0, 0, 0, -1, 0, 0, 0, nullptr, 0},
};
