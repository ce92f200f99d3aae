// What the window asks of the system, held with a message-only window of the
// test's own (it needs no display): every waiting message dispatched, keys
// translated into characters, WM_QUIT noticed and what follows it left
// queued; a paint gives its device context back; each cursor code shows its
// cursor. Windows build only.
#include "bench/window/DownArrowCursor.h"
#include "bench/window/Messages.h"
#include "bench/window/WindowCursors.h"
#include "host/Records.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<UINT> seen;

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        seen.push_back(message);
    if (message >= WM_USER)
        seen.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowSystem : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Record;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "LumivaneWindowSystemTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowA(windowClass.lpszClassName, "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        seen.clear();
        bool quit = false;
        PumpMessages(&quit); // whatever the system queued on its own
        seen.clear();
    }
    void TearDown() override
    {
        if (window_)
            DestroyWindow(window_);
    }

    HWND window_ = nullptr;
};

TEST_F(WindowSystem, AllThatWaitsIsDispatchedKeysTranslatedUntilAQuit)
{
    // The A key: virtual key 0x41, one stroke, scan code 0x1E.
    ASSERT_TRUE(PostMessageA(window_, WM_KEYDOWN, 0x41, 0x001E0001));
    bool quit = false;
    PumpMessages(&quit);
    EXPECT_FALSE(quit);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));

    seen.clear();
    ASSERT_TRUE(PostMessageA(window_, WM_USER + 1, 0, 0));
    PostQuitMessage(0);
    PumpMessages(&quit);
    EXPECT_TRUE(quit);
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 1}) << "what was posted before the quit";

    // Nothing waiting: nothing dispatched, and a quit once met stays met.
    seen.clear();
    PumpMessages(&quit);
    EXPECT_TRUE(quit);
    EXPECT_TRUE(seen.empty());
}

TEST_F(WindowSystem, APaintGivesItsDeviceContextBack)
{
    std::vector<HDC> contexts;
    for (int i = 0; i < 3; ++i)
        PaintWindow(window_, [&contexts](HDC dc) { contexts.push_back(dc); });
    ASSERT_EQ(contexts.size(), 3u);
    EXPECT_NE(contexts[0], nullptr);
    // The system hands out its shared context again only once it is back.
    EXPECT_EQ(contexts[1], contexts[0]);
    EXPECT_EQ(contexts[2], contexts[0]);
}

TEST(WindowCursors, EachCodeShowsItsCursor)
{
    WindowCursors cursors;
    const HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(cursors.For(UpArrowCursor), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_UPARROW)));
    EXPECT_EQ(cursors.For(HandCursor), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
    for (int32_t code : {int32_t(NoCursor), 0, 3, 4, 6, INT32_MIN, INT32_MAX})
        EXPECT_EQ(cursors.For(code), arrow) << code;
    // The down arrow is the bench's own, its point the hot spot.
    const HCURSOR down = cursors.For(DownArrowCursor);
    ASSERT_NE(down, arrow);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(down, &info));
    EXPECT_EQ(info.yHotspot, 22u);
    DeleteObject(info.hbmMask);
}

} // namespace
