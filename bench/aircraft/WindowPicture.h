// The picture of an aircraft's window that holds the gauge, as the pilot will
// see it: the window's background bitmap at its own pixels, every other
// gauge's place marked with its name, a caption below saying which window and
// entry it is and how units are scaled, and the gauge itself set, live, into
// its places at its scale. The same picture is written as panel-windowNN.png
// and shown by the bench's window, whose clicks on a place reach the gauge.
#ifndef LUMIVANE_BENCH_AIRCRAFT_WINDOWPICTURE_H
#define LUMIVANE_BENCH_AIRCRAFT_WINDOWPICTURE_H

#include "bench/aircraft/LiveGauge.h"
#include "bench/aircraft/PanelCheck.h"
#include "bench/pictures/Image.h"
#include "bench/pictures/TextFace.h"

#include <string>
#include <vector>

struct WindowPicture {
    int Window = 0;                 // its number, as in [Window Titles]
    std::string Title;
    Image Base;                     // everything but the gauge
    int BitmapWidth = 0, BitmapHeight = 0; // the window's bitmap, at the top-left of Base
    std::vector<PixelBox> Places;   // the gauge's, in Base's pixels
};

// The picture of `window` without the gauge. False, with `problem`, when
// the bench's typeface cannot be had: the picture is made, without names or
// caption.
bool DrawWindowPicture(const CheckedWindow& window, WindowPicture* out, std::string* problem);

// Outlines the gauge's places and writes `why` in them, for a picture the
// gauge cannot be set into (its module not found or not loaded).
void MarkGaugeMissing(WindowPicture* picture, const std::string& why);

// The picture's base with the gauge's last pass set into each place, scaled
// to it pixel by pixel, the base showing wherever the gauge leaves the panel.
void SetGauge(const WindowPicture& picture, const LiveGauge& gauge, Image* into);

// The gauge's own pixel under pixel x, y of the picture, for a gauge of
// `width` x `height` pixels: false off every place.
bool GaugePixelAt(const WindowPicture& picture, int width, int height, int x, int y, int* gaugeX, int* gaugeY);

#endif
