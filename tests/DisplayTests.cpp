// What a person sees on a real display: the panel under Wine's X11 driver, on the
// private X server that ./run test starts (elsewhere these tests skip themselves).
// The screen is read back through the X server, where GDI's screen is the X root
// window, not from the panel's own painting.
#include "EndToEnd.h"
#include "PanelLayout.h"
#include "PanelWindow.h"
#include "Picture.h"

#include <vector>

using namespace testing_support;
using namespace player_panel;

namespace {

constexpr COLORREF kPanelBackground = RGB(30, 34, 40);

// The screen's pixels within `area`, as the display shows them.
Picture screenArea(const RECT& area) {
    Picture picture;
    picture.width = static_cast<UINT>(area.right - area.left);
    picture.height = static_cast<UINT>(area.bottom - area.top);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER),
                      area.right - area.left,
                      -(area.bottom - area.top),
                      1,
                      32,
                      BI_RGB,
                      0,
                      0,
                      0,
                      0,
                      0};
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + picture.width * picture.height);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

// Visible top-level windows above `window` that overlap it, other than its own
// process's and menus.
std::vector<std::wstring> windowsCovering(HWND window) {
    RECT mine{};
    GetWindowRect(window, &mine);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    std::vector<std::wstring> found;
    for (HWND w = GetTopWindow(nullptr); w != nullptr && w != window; w = GetWindow(w, GW_HWNDNEXT)) {
        RECT theirs{}, overlap{};
        GetWindowRect(w, &theirs);
        DWORD process = 0;
        GetWindowThreadProcessId(w, &process);
        wchar_t name[64] = L"";
        GetClassNameW(w, name, 64);
        if (!IsWindowVisible(w) || !IntersectRect(&overlap, &theirs, &mine) || process == owner ||
            lstrcmpW(name, L"#32768") == 0)
            continue;
        wchar_t title[128] = L"";
        GetWindowTextW(w, title, 128);
        found.push_back(std::wstring(name) + L" \"" + title + L"\"");
    }
    return found;
}

// A menu open on the screen, or null.
HWND openMenu() {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32768", nullptr)) != nullptr;)
        if (IsWindowVisible(w))
            return w;
    return nullptr;
}

class OnTheDisplay : public EndToEnd {
protected:
    void SetUp() override {
        wchar_t display[64];
        if (GetEnvironmentVariableW(L"PLAYER_X_DISPLAY", display, 64) == 0)
            GTEST_SKIP() << "headless: ./run test runs these on an X display of its own";
    }
    ~OnTheDisplay() override {
        if (panel_ != nullptr)
            PostMessageW(panel_, WM_CLOSE, 0, 0);
        program_.finish(30000);
        DeleteFileW(ini_.c_str());
    }

    void openPanel() {
        program_ = RunningProgram(L"\"" + besideProgram(L"player-panel.exe") + L"\" --ini \"" + ini_ +
                                  L"\" --exe \"" + referencePlayer() + L"\"");
        ASSERT_TRUE(waitUntil([this] {
            panel_ = FindWindowW(kWindowClass, nullptr);
            return panel_ != nullptr && IsWindowVisible(panel_);
        }));
    }
    void click(Control control) const {
        const POINT p = centreOf(layoutFor(kDefaultWidth), control);
        SendMessageW(panel_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageW(panel_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); // a menu may open: not waited for
    }
    RECT clientOnScreen() const {
        RECT r{};
        GetClientRect(panel_, &r);
        MapWindowPoints(panel_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    std::wstring ini_ = besideProgram(L"display-tests.ini");
    RunningProgram program_;
    HWND panel_ = nullptr;
};

TEST_F(OnTheDisplay, StartingThePlayerFromThePanelCoversNothing) {
    openPanel();
    click(Control::PlayPause); // starts the player as a user would
    ASSERT_TRUE(waitUntil([] { return playerWindow() != nullptr; }));
    // A window that the start opens (a console, say) shows within moments: watched for two seconds.
    std::vector<std::wstring> covering;
    waitUntil([&] { return !(covering = windowsCovering(panel_)).empty(); }, 2000);
    EXPECT_TRUE(covering.empty()) << narrow(covering.front());

    const Picture screen = screenArea(clientOnScreen());
    std::wstring error;
    EXPECT_TRUE(writePicture(screen, besideProgram(L"display-after-play.png"), error)) << narrow(error);
    const std::uint32_t background = (GetRValue(kPanelBackground) << 16) |
                                     (GetGValue(kPanelBackground) << 8) | GetBValue(kPanelBackground);
    std::size_t panelPixels = 0;
    for (const std::uint32_t pixel : screen.pixels)
        panelPixels += (pixel & 0xFFFFFF) == background ? 1 : 0;
    EXPECT_GT(panelPixels, screen.pixels.size() / 2) << "the screen shows something else where the panel is";
}

TEST_F(OnTheDisplay, ThePlaylistMenuOpensAsARealMenuAndPlaysWhatIsTyped) {
    startPlayer();
    openPanel();
    HWND menu = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        click(Control::Playlist);
        return waitUntil([&] { return (menu = openMenu()) != nullptr; }, 1000);
    }));
    // Its items take room on the screen: eight entries of the built-in list, each a line high.
    RECT area{};
    GetWindowRect(menu, &area);
    EXPECT_GE(area.bottom - area.top, 8 * GetSystemMetrics(SM_CYMENUSIZE) / 2);
    // Painted once it is more than its black new surface; each entry draws its text.
    Picture shown;
    const COLORREF face = GetSysColor(COLOR_MENU);
    const std::uint32_t background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    const auto count = [&](std::uint32_t colour) {
        std::size_t n = 0;
        for (const std::uint32_t pixel : shown.pixels)
            n += (pixel & 0xFFFFFF) == colour ? 1 : 0;
        return n;
    };
    EXPECT_TRUE(waitUntil(
        [&] {
            shown = screenArea(area);
            return count(0) < shown.pixels.size() / 2;
        },
        3000));
    EXPECT_GT(shown.pixels.size() - count(background), 8u * 100) << "the entries show no text";
    std::wstring error;
    EXPECT_TRUE(writePicture(shown, besideProgram(L"display-playlist-menu.png"), error)) << narrow(error);
    // Typed, the letter that only one entry begins with plays it (the entries draw
    // themselves, so the panel answers for their letters).
    PostMessageW(menu, WM_CHAR, L'z', 0);
    EXPECT_TRUE(waitUntil([] { return openMenu() == nullptr; }));
    EXPECT_TRUE(
        waitUntil([this] { return contains(output(L"playlist"), L"\u25B6   2. Zo\u00eb Marchetti"); }));
}

} // namespace
