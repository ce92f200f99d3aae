// The bench's window on Win32. The run's own loop stays in charge: before
// each pass the window pumps its messages until its timer ticks (one tick a
// pass, at the run's rate), and what the mouse and keys did since the last pass is
// handed to the run then, in order, so that a press and its release between
// two passes still run the handler once. A left press is held until the
// button comes up, and the run repeats it with the bench's delay and rate
// where the area asks for repeats. After each pass the panel is painted (the
// painter skips a pass that shows what the last one showed) and redrawn.
//
// Messages are only dispatched inside the pass hook, while the run and its
// host are alive; dragging the window (a modal loop of the system's) holds
// the run still until it is let go.
//
// Shown in a picture of an aircraft's window, the gauge is painted by the
// live gauge of that picture (bench/aircraft/WindowPicture.h) and a press
// reaches it through its place there; everything else is the same.
#include "bench/window/Window.h"

#include "bench/files/Text.h"
#include "bench/flying/HandInput.h"
#include "bench/pictures/ContactSheet.h"
#include "bench/pictures/PassPainter.h"
#include "bench/recording/RecordedRun.h"
#include "bench/window/Messages.h"
#include "bench/window/PanelCursor.h"
#include "bench/window/StatusLine.h"
#include "bench/window/WindowCursors.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

const char ClassName[] = "LumivaneBenchWindow";
const UINT_PTR PassTimer = 1;
// The status strip below the panel: the selection and the airspeed, then the
// keys on two lines.
const int StripLine = 17;
const int StripHeight = 3 * StripLine + 4;
const COLORREF StripGround = RGB(32, 32, 32), StripText = RGB(230, 230, 230), StripHint = RGB(160, 160, 160);

class BenchWindow {
public:
    ~BenchWindow() { Close(); }

    bool Open(const std::string& module, int scale, double rate, const WindowPicture* picture,
        const GaugeReader* reader, std::string* error);
    void Close();
    void ReadInput(PassControl& control);
    void Show(const PassRecord& pass);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Key(WPARAM key, bool down, bool repeat);
    void Paint(HDC dc);
    // The gauge's pixel under client point x, y; false off the gauge (a
    // press there lands nowhere).
    bool GaugePoint(int x, int y, int* gaugeX, int* gaugeY) const;
    void ShowStatus(const PassRecord& pass);
    // The status strip below the panel; empty once the window is gone.
    RECT Strip() const;

    HWND window_ = nullptr;
    std::string module_;
    int scale_ = 4;
    double rate_ = GaugeHost::PassesPerSecond;
    int width_ = 0, height_ = 0; // of the scaled panel
    int gaugeWidth_ = 0, gaugeHeight_ = 0; // the gauge's own, as its module says
    BITMAPINFO bitmap_ = {};
    std::vector<uint32_t> pixels_; // the scaled panel, 0x00RRGGBB, rows from the top
    PassPainter painter_;
    const WindowPicture* picture_ = nullptr; // the aircraft's window, or null for the panel alone
    LiveGauge live_;
    Image composed_;
    HandInput hands_;
    const GaugeReader* reader_ = nullptr; // the run's, for the status line
    bool ticked_ = false;
    bool closed_ = false;
    bool pressed_ = false;
    Clock::time_point start_;
    uint64_t passes_ = 0;
    const GaugeHost* host_ = nullptr; // the run's, valid while messages are pumped
    WindowCursors cursors_;
    std::string status_;
    std::string keys_; // every key and its hint, from the one table
    std::string problem_;
};

bool BenchWindow::Open(const std::string& module, int scale, double rate, const WindowPicture* picture,
    const GaugeReader* reader, std::string* error)
{
    reader_ = reader;
    module_ = module.substr(module.find_last_of("\\/") + 1);
    picture_ = picture;
    if (picture)
        module_ += " in " + WindowName(picture->Window) + " " + Quoted(picture->Title);
    // The gauge's size is its module's, which the run's host takes once it
    // has loaded it; the window opens before, so that the module's
    // DirectSound finds it active, and asks a host of its own first. A
    // module that cannot be loaded ends the run before its first pass.
    {
        GaugeHost probe;
        if (probe.Load(module))
            gaugeWidth_ = probe.Width(), gaugeHeight_ = probe.Height();
    }
    const int shownWidth = std::max(1, picture ? picture->Base.Width : gaugeWidth_);
    const int shownHeight = std::max(1, picture ? picture->Base.Height : gaugeHeight_);
    // A window larger than the screen would show only the panel's top-left
    // corner: the scale is brought down to what fits, and the user told.
    // A work area the system cannot tell stays empty, and fits no scale.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int fit = std::min(int(work.right - work.left - 16) / shownWidth,
        int(work.bottom - work.top - StripHeight - 48) / shownHeight);
    if (fit >= 1 && scale > fit) {
        fprintf(stderr, "lumivane-bench: at --scale %d the window would not fit the screen; showing it at %d\n",
            scale, fit);
        scale = fit;
    }
    scale_ = scale;
    rate_ = rate;
    const GaugeDescription* gauge = reader ? &reader->Description() : nullptr;
    for (int i = 0; i < HandKeyCount; ++i)
        keys_ += std::string(HandKeys[i].Name) + " " + KeyHint(HandKeys[i], gauge) + "   ";
    keys_ += "Esc quit";
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &BenchWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = nullptr; // set by WM_SETCURSOR, area by area
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass); // a second registration in the process fails harmlessly

    // The size the panel will have: the module's background, as the probe
    // found it; the painter's first frame says it again.
    width_ = shownWidth * scale;
    height_ = shownHeight * scale;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, width_, height_ + StripHeight};
    AdjustWindowRect(&frame, style, FALSE);
    const std::string title = module_ + " - lumivane-bench";
    window_ = CreateWindowA(ClassName, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!window_) {
        *error = "cannot open a window (error " + std::to_string(GetLastError()) +
                 "); under Wine, DISPLAY must name a running X server";
        return false;
    }
    pixels_.assign(size_t(width_) * size_t(height_), 0x808080);
    bitmap_.bmiHeader.biSize = sizeof bitmap_.bmiHeader;
    bitmap_.bmiHeader.biPlanes = 1;
    bitmap_.bmiHeader.biBitCount = 32;
    bitmap_.bmiHeader.biCompression = BI_RGB;
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
    SetTimer(window_, PassTimer, UINT(1000.0 / rate + 0.5), nullptr);
    return true;
}

void BenchWindow::Close()
{
    host_ = nullptr;
    if (window_) {
        KillTimer(window_, PassTimer);
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

LRESULT CALLBACK BenchWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<BenchWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<BenchWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->Handle(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT BenchWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    switch (message) {
    case WM_TIMER:
        if (wParam == PassTimer)
            ticked_ = true;
        return 0;
    case WM_LBUTTONDOWN:
        // A press on the strip below the panel lies past the host's gauge,
        // where the host finds no area: it runs nothing.
        SetCapture(window_);
        pressed_ = true;
        {
            int gaugeX, gaugeY;
            GaugePoint(x, y, &gaugeX, &gaugeY);
            hands_.Down(gaugeX, gaugeY);
        }
        return 0;
    case WM_LBUTTONUP:
        if (pressed_) {
            pressed_ = false;
            hands_.Up();
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the button is as good as up.
        if (pressed_) {
            pressed_ = false;
            hands_.Up();
        }
        return 0;
    case WM_KEYDOWN:
        // Bit 30: the key was already down, so this is the system's repeat.
        Key(wParam, true, (lParam & (1L << 30)) != 0);
        return 0;
    case WM_KEYUP:
        Key(wParam, false, false);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            POINT point;
            GetCursorPos(&point);
            ScreenToClient(window_, &point);
            int gaugeX, gaugeY;
            if (!picture_)
                SetCursor(cursors_.For(PanelCursorCode(host_, point.x, point.y, scale_, width_, height_)));
            else if (GaugePoint(point.x, point.y, &gaugeX, &gaugeY))
                SetCursor(cursors_.For(PanelCursorCode(host_, gaugeX, gaugeY, 1, live_.Width(), live_.Height())));
            else
                SetCursor(cursors_.For(NoCursor));
            return TRUE;
        }
        break;
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT:
        PaintWindow(window_, [this](HDC dc) { Paint(dc); });
        return 0;
    case WM_DESTROY:
        closed_ = true;
        window_ = nullptr;
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void BenchWindow::Key(WPARAM key, bool down, bool repeat)
{
    if (key == VK_ESCAPE && down) {
        SendMessageA(window_, WM_CLOSE, 0, 0);
        return;
    }
    const KeyBinding* binding = FindWindowsKey(int(key));
    if (!binding)
        return;
    if (down)
        hands_.KeyDown(binding->Code, repeat);
    else
        hands_.KeyUp(binding->Code);
}

void BenchWindow::ReadInput(PassControl& control)
{
    if (passes_ == 0)
        start_ = Clock::now();
    // The timer's tick is the pass's; a run that has fallen more than a pass
    // behind the clock (a busy machine) catches up without waiting.
    const double due = double(passes_ + 1) / rate_;
    for (;;) {
        PumpMessages(&closed_);
        if (closed_ || ticked_ || passes_ == 0 ||
            std::chrono::duration<double>(Clock::now() - start_).count() >= due)
            break;
        WaitMessage();
    }
    ticked_ = false;
    ++passes_;
    if (closed_) {
        hands_.Leave(control);
        return;
    }
    hands_.Apply(control);
}

void BenchWindow::Show(const PassRecord& pass)
{
    host_ = pass.Host;
    hands_.Follow(pass);
    ShowStatus(pass);
    if (!window_)
        return;
    if (!(picture_ ? live_.Paint(pass) : painter_.Paint(pass))) {
        if (problem_.empty()) {
            problem_ = picture_ ? live_.Problem() : painter_.Problem();
            fprintf(stderr, "lumivane-bench: the window shows no panel: %s\n", problem_.c_str());
        }
        return;
    }
    RECT panel = {0, 0, width_, height_};
    InvalidateRect(window_, &panel, FALSE);
    if (!(picture_ ? live_.Changed() : painter_.Changed()))
        return;
    if (picture_)
        SetGauge(*picture_, live_, &composed_);
    const Image scaled = ScaleUp(picture_ ? composed_ : painter_.Frame(), scale_);
    if (scaled.Width != width_ || scaled.Height != height_) {
        // A panel whose painted size is not the one the window opened at:
        // the window takes its size.
        width_ = scaled.Width;
        height_ = scaled.Height;
        RECT frame = {0, 0, width_, height_ + StripHeight};
        AdjustWindowRect(&frame, GetWindowLongA(window_, GWL_STYLE), FALSE);
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
    pixels_.resize(size_t(width_) * size_t(height_));
    for (int y = 0; y < height_; ++y) {
        const uint8_t* from = scaled.Row(y);
        uint32_t* to = pixels_.data() + size_t(y) * size_t(width_);
        for (int x = 0; x < width_; ++x, from += 3)
            to[x] = uint32_t(from[0]) << 16 | uint32_t(from[1]) << 8 | from[2];
    }
}

bool BenchWindow::GaugePoint(int x, int y, int* gaugeX, int* gaugeY) const
{
    if (!picture_) {
        // Past the host's gauge, the host finds no area.
        *gaugeX = x / scale_;
        *gaugeY = y / scale_;
        return true;
    }
    *gaugeX = *gaugeY = -1;
    // Before the first pass the gauge is the size its module said.
    const int width = live_.Width() ? live_.Width() : gaugeWidth_;
    const int height = live_.Height() ? live_.Height() : gaugeHeight_;
    return x >= 0 && y >= 0 && GaugePixelAt(*picture_, width, height, x / scale_, y / scale_, gaugeX, gaugeY);
}

// The title names the status only once the passes have begun, so that it
// tells the run is under way.
void BenchWindow::ShowStatus(const PassRecord& pass)
{
    const std::string status = StatusLine(pass, reader_, hands_.TakingOff());
    if (status == status_ || !window_)
        return;
    status_ = status;
    const std::string title = module_ + " - " + status_ + " - lumivane-bench";
    SetWindowTextA(window_, title.c_str());
    const RECT strip = Strip();
    InvalidateRect(window_, &strip, FALSE);
}

RECT BenchWindow::Strip() const
{
    RECT client = {};
    GetClientRect(window_, &client);
    return {0, height_, client.right, client.bottom};
}

void BenchWindow::Paint(HDC dc)
{
    bitmap_.bmiHeader.biWidth = width_;
    bitmap_.bmiHeader.biHeight = -height_; // rows from the top
    SetDIBitsToDevice(dc, 0, 0, DWORD(width_), DWORD(height_), 0, 0, 0, UINT(height_), pixels_.data(), &bitmap_,
                      DIB_RGB_COLORS);
    const RECT strip = Strip();
    HBRUSH ground = CreateSolidBrush(StripGround);
    FillRect(dc, &strip, ground);
    DeleteObject(ground);
    HGDIOBJ font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT line = {strip.left + 6, strip.top + 2, strip.right - 6, strip.top + 2 + StripLine};
    SetTextColor(dc, StripText);
    DrawTextA(dc, status_.c_str(), int(status_.size()), &line,
              DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    line.top = line.bottom;
    line.bottom = strip.bottom;
    SetTextColor(dc, StripHint);
    DrawTextA(dc, keys_.c_str(), int(keys_.size()), &line, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, font);
}

} // namespace

bool FlyInWindow(RunOptions options, const Scenario& scenario, int scale, RunSummary* summary, std::string* error,
    const WindowPicture* picture)
{
    // The window says what the run's reader says; a window flown without
    // one takes the bench's.
    std::unique_ptr<GaugeReader> own;
    if (!options.Reader) {
        own = BenchGaugeReader();
        options.Reader = own.get();
    }
    BenchWindow window;
    if (!window.Open(options.Module, scale, options.Rate, picture, options.Reader, error))
        return false;
    // The window paces the passes, and what it shows is the progress.
    options.Speed = Pace::Fast;
    options.Progress = false;
    options.Flush = true;
    options.TakeInput = [&window](PassControl& control) { window.ReadInput(control); };
    std::function<void(const PassRecord&)> also = options.ShowPass;
    options.ShowPass = [&window, also](const PassRecord& pass) {
        if (also)
            also(pass);
        window.Show(pass);
    };
    const bool ran = RunScenario(options, scenario, summary, error);
    window.Close();
    return ran;
}
