// What a person sees on a real display: the panel under Wine's X11 driver, on the
// private X server that ./run test starts (elsewhere these tests skip themselves).
// The screen is read back through the X server, where GDI's screen is the X root
// window, not from the panel's own painting.
#include "EndToEnd.h"
#include "FakePlayer.h"
#include "MessagePump.h"
#include "PanelLayout.h"
#include "PanelWindow.h"
#include "Picture.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <memory>
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

// Pixels of a picture that are not `colour`.
std::size_t inkOf(const Picture& picture, std::uint32_t colour) {
    std::size_t ink = 0;
    for (const std::uint32_t pixel : picture.pixels)
        ink += (pixel & 0xFFFFFF) != colour ? 1 : 0;
    return ink;
}

std::uint32_t rgbOf(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A real click of the mouse, through the X server.
void mouseClick(POINT screen, bool right) {
    SetCursorPos(screen.x, screen.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// Keys pressed and let go, as a keyboard does.
void typeKeys(std::initializer_list<WORD> keys) {
    for (const WORD key : keys) {
        INPUT input[2] = {};
        input[0].type = input[1].type = INPUT_KEYBOARD;
        input[0].ki.wVk = input[1].ki.wVk = key;
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        Sleep(30);
    }
}

// Wine's DPI, read by each program as it starts (HKCU\Control Panel\Desktop LogPixels).
void setSystemDpi(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
}

// The panel as a screen reader sees it, through oleacc.
class Accessible {
public:
    explicit Accessible(HWND window) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // oleacc's own, found at run time: its import library repeats IID_IAccessible.
        using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
        const auto fromWindow = reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
        if (fromWindow != nullptr)
            fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                       reinterpret_cast<void**>(&object_));
    }
    ~Accessible() {
        if (object_ != nullptr)
            object_->Release();
        CoUninitialize();
    }
    Accessible(const Accessible&) = delete;
    Accessible& operator=(const Accessible&) = delete;

    explicit operator bool() const { return object_ != nullptr; }
    long count() const {
        long n = 0;
        object_->get_accChildCount(&n);
        return n;
    }
    // The child whose name begins with `name`; 0 when none has it.
    long find(const std::wstring& name) const {
        for (long id = 1; id <= count(); ++id)
            if (this->name(id).rfind(name, 0) == 0)
                return id;
        return 0;
    }
    std::wstring name(long id) const { return text(&IAccessible::get_accName, id); }
    std::wstring value(long id) const { return text(&IAccessible::get_accValue, id); }
    std::wstring keys(long id) const { return text(&IAccessible::get_accKeyboardShortcut, id); }
    long role(long id) const { return number(&IAccessible::get_accRole, id); }
    long state(long id) const { return number(&IAccessible::get_accState, id); }
    RECT location(long id) const {
        long left = 0, top = 0, width = 0, height = 0;
        object_->accLocation(&left, &top, &width, &height, child(id));
        return {left, top, left + width, top + height};
    }
    long focused() const {
        VARIANT focus{};
        object_->get_accFocus(&focus);
        return focus.vt == VT_I4 ? focus.lVal : -1;
    }

private:
    static VARIANT child(long id) {
        VARIANT v{};
        v.vt = VT_I4;
        v.lVal = id;
        return v;
    }
    std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long id) const {
        BSTR value = nullptr;
        (object_->*get)(child(id), &value);
        std::wstring result = value != nullptr ? value : L"";
        SysFreeString(value);
        return result;
    }
    long number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), long id) const {
        VARIANT value{};
        (object_->*get)(child(id), &value);
        return value.vt == VT_I4 ? value.lVal : -1;
    }
    IAccessible* object_ = nullptr;
};

class OnTheDisplay : public EndToEnd {
protected:
    void SetUp() override {
        wchar_t display[64];
        if (GetEnvironmentVariableW(L"PLAYER_X_DISPLAY", display, 64) == 0)
            GTEST_SKIP() << "headless: ./run test runs these on an X display of its own";
    }
    ~OnTheDisplay() override {
        closePanel();
        setSystemDpi(96);
        DeleteFileW(ini_.c_str());
    }
    void closePanel() {
        if (panel_ != nullptr)
            PostMessageW(panel_, WM_CLOSE, 0, 0);
        program_.finish(30000);
        panel_ = nullptr;
    }
    // The centre of a control on the screen, where the layout of the panel's DPI puts it.
    POINT onScreen(Control control, UINT dpi = 96) const {
        POINT p = centreOf(layoutFor(kDefaultWidth, dpi), control);
        ClientToScreen(panel_, &p);
        return p;
    }
    // The menu open on the screen, its picture once `painted` says so, closed again.
    Picture menuPicture(const wchar_t* name, const std::function<bool(const Picture&)>& painted) {
        HWND menu = nullptr;
        EXPECT_TRUE(waitUntil([&] { return (menu = openMenu()) != nullptr; }, 3000)) << narrow(name);
        if (menu == nullptr)
            return {};
        RECT area{};
        GetWindowRect(menu, &area);
        Picture shown;
        waitUntil(
            [&] {
                shown = screenArea(area);
                return painted(shown);
            },
            5000);
        std::wstring error;
        writePicture(shown, besideProgram(name), error);
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        waitUntil([] { return openMenu() == nullptr; }, 3000);
        return shown;
    }

    void openPanel() {
        program_ = RunningProgram(L"\"" + besideProgram(L"player-panel.exe") + L"\" --ini \"" + ini_ +
                                  L"\" --exe \"" + referencePlayer() + L"\"");
        panel_ = nullptr;
        ASSERT_TRUE(waitUntil([this] {
            panel_ = FindWindowW(kWindowClass, nullptr);
            return panel_ != nullptr && IsWindowVisible(panel_);
        }));
    }
    // A click where no control is, and then until the panel holds the keyboard focus: a key
    // typed before the click has reached it would go to another window.
    bool giveThePanelTheKeyboard() const {
        SetForegroundWindow(panel_);
        RECT details = layoutFor(kDefaultWidth).details;
        MapWindowPoints(panel_, nullptr, reinterpret_cast<POINT*>(&details), 2);
        mouseClick({details.left + 4, details.top + 4}, false);
        const DWORD thread = GetWindowThreadProcessId(panel_, nullptr);
        return waitUntil([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(thread, &info) && info.hwndFocus == panel_ &&
                   GetForegroundWindow() == panel_;
        });
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
    // Painted once its entries' text is there: the menu's window shows before they draw.
    const auto painted = [&] { return shown.pixels.size() - count(background) > 8u * 100; };
    EXPECT_TRUE(waitUntil(
        [&] {
            shown = screenArea(area);
            return count(0) < shown.pixels.size() / 2 && painted();
        },
        5000));
    EXPECT_TRUE(painted()) << "the entries show no text";
    std::wstring error;
    EXPECT_TRUE(writePicture(shown, besideProgram(L"display-playlist-menu.png"), error)) << narrow(error);
    // Typed, the letter that only one entry begins with plays it (the entries draw
    // themselves, so the panel answers for their letters).
    PostMessageW(menu, WM_CHAR, L'z', 0);
    EXPECT_TRUE(waitUntil([] { return openMenu() == nullptr; }));
    EXPECT_TRUE(
        waitUntil([this] { return contains(output(L"playlist"), L"\u25B6   2. Zo\u00eb Marchetti"); }));
}

// The right-click menu shows its items' text whatever the player does: absent, running,
// and hung (it used to be a black box without text for the first and the last).
TEST_F(OnTheDisplay, TheContextMenuShowsItsItemsWithThePlayerAbsentRunningOrHung) {
    const COLORREF face = GetSysColor(COLOR_MENU);
    struct Case {
        const wchar_t* what;
        const wchar_t* picture;
        std::size_t leastItems; // lines of text at least
    };
    // Text on the menu's face: ink in many rows, not one black box.
    const auto rowsWithText = [&](const Picture& shown) {
        std::size_t rows = 0;
        for (UINT y = 0; y < shown.height; ++y) {
            std::size_t ink = 0;
            for (UINT x = 0; x < shown.width; ++x)
                ink += (shown.at(x, y) & 0xFFFFFF) != rgbOf(face) ? 1 : 0;
            rows += ink > 3 && ink < shown.width / 2 ? 1 : 0;
        }
        return rows;
    };
    const auto check = [&](const Case& c) {
        SCOPED_TRACE(narrow(c.what));
        POINT at = onScreen(Control::Time);
        mouseClick(at, true);
        // Painted once its text is there: the menu's window shows before its items are drawn.
        const Picture shown =
            menuPicture(c.picture, [&](const Picture& p) { return rowsWithText(p) > c.leastItems * 3; });
        ASSERT_GT(shown.width, 0u);
        const std::size_t textRows = rowsWithText(shown);
        EXPECT_GT(textRows, c.leastItems * 3) << "the menu shows no text";
        EXPECT_LT(inkOf(shown, rgbOf(face)), shown.pixels.size() / 2) << "the menu is not painted";
    };
    openPanel();
    check({L"player absent", L"display-menu-absent.png", 3});
    closePanel();
    startPlayer();
    openPanel();
    check({L"player running", L"display-menu-running.png", 6});
    closePanel();
    stopPlayer();
    {
        FakePlayer fake;
        fake.answer(protocol::RM_IS_SUPPORTED, 1);
        openPanel();
        fake.hangOn(protocol::RM_GET_TRACKLENGTH); // the panel's next poll
        ASSERT_TRUE(waitUntil([&] { return fake.hanging(); }));
        // Once the plug-in knows it silent, the panel's time is unavailable to a screen reader.
        const Accessible accessible(panel_);
        ASSERT_TRUE(waitUntil([&] { return (accessible.state(3) & STATE_SYSTEM_UNAVAILABLE) != 0; }));
        check({L"player hung", L"display-menu-hung.png", 3});
        fake.release();
        closePanel();
    }
}

// At 100 %, 150 % and 200 % the panel is laid out and drawn for its DPI: as large as
// the layout of that DPI, every text that fits at 100 % fitting still, and a click at a
// control's place reaching that control.
TEST_F(OnTheDisplay, SharpAndTheSameAtEveryDpi) {
    startPlayer();
    for (const UINT dpi : {96u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        setSystemDpi(dpi);
        openPanel();
        const Layout layout = layoutFor(kDefaultWidth, dpi);
        RECT client{};
        GetClientRect(panel_, &client);
        EXPECT_EQ(client.right, layout.width);
        EXPECT_EQ(client.bottom, layout.height);
        // What accessibility clients are told lies where the layout of this DPI draws it.
        const Accessible accessible(panel_);
        ASSERT_TRUE(accessible);
        RECT next = layout.next;
        MapWindowPoints(panel_, nullptr, reinterpret_cast<POINT*>(&next), 2);
        const RECT told = accessible.location(accessible.find(L"Next"));
        EXPECT_TRUE(EqualRect(&next, &told) != FALSE);
        // The details ("Åsa Lindqvist · Höhenluft") fit at 100 %, and end as far from their
        // rectangle's end at every DPI: nothing of them cut. Read once the panel has painted them.
        Picture shown;
        LONG lastInk = 0;
        waitUntil(
            [&] {
                RECT client{};
                GetClientRect(panel_, &client);
                MapWindowPoints(panel_, nullptr, reinterpret_cast<POINT*>(&client), 2);
                shown = screenArea(client);
                lastInk = 0;
                for (LONG y = layout.details.top; y < layout.details.bottom; ++y)
                    for (LONG x = layout.details.left; x < layout.details.right; ++x)
                        if ((shown.at(static_cast<UINT>(x), static_cast<UINT>(y)) & 0xFFFFFF) !=
                            rgbOf(kPanelBackground))
                            lastInk = std::max(lastInk, x);
                return lastInk > layout.details.left;
            },
            5000);
        std::wstring error;
        writePicture(shown, besideProgram((L"display-panel-" + std::to_wstring(dpi) + L".png").c_str()),
                     error);
        EXPECT_GT(lastInk, layout.details.left);
        EXPECT_LT(lastInk, layout.details.right - layout.px(40)) << "the details reach their end: cut";
        // A real click where this DPI draws Next plays the next entry.
        const std::wstring before = output(L"text title");
        mouseClick(onScreen(Control::Next, dpi), false);
        EXPECT_TRUE(waitUntil([&] { return output(L"text title") != before; })) << narrow(before);
        closePanel();
    }
}

// Without a mouse: Tab moves between the controls, Space presses the focused one, the
// arrows move a focused slider, the panel's keys act; and a screen reader reads each
// control's name, role, state and value through the same object.
TEST_F(OnTheDisplay, UsableFromTheKeyboardAndNamedToScreenReaders) {
    startPlayer();
    openPanel();
    ASSERT_TRUE(giveThePanelTheKeyboard());
    const Accessible accessible(panel_);
    ASSERT_TRUE(accessible);
    EXPECT_EQ(accessible.count(), 18);
    struct Named {
        const wchar_t* name;
        long role;
        const wchar_t* keys;
    };
    for (const Named& n :
         {Named{L"Previous", ROLE_SYSTEM_PUSHBUTTON, L"B"}, Named{L"Play", ROLE_SYSTEM_PUSHBUTTON, L"P"},
          Named{L"Next", ROLE_SYSTEM_PUSHBUTTON, L"N"}, Named{L"Shuffle", ROLE_SYSTEM_CHECKBUTTON, L"H"},
          Named{L"Repeat", ROLE_SYSTEM_CHECKBUTTON, L"R"}, Named{L"Rate 3", ROLE_SYSTEM_CHECKBUTTON, L"3"},
          Named{L"Time", ROLE_SYSTEM_PUSHBUTTON, L"T"}, Named{L"Mute", ROLE_SYSTEM_CHECKBUTTON, L"M"},
          Named{L"Volume", ROLE_SYSTEM_SLIDER, L"+, -"},
          Named{L"Position", ROLE_SYSTEM_SLIDER, L"Left, Right, Home, End"},
          Named{L"Title", ROLE_SYSTEM_STATICTEXT, L""}}) {
        SCOPED_TRACE(narrow(n.name));
        const long id = accessible.find(n.name);
        ASSERT_NE(id, 0);
        EXPECT_EQ(accessible.role(id), n.role);
        EXPECT_EQ(accessible.keys(id), n.keys);
    }
    EXPECT_EQ(accessible.value(accessible.find(L"Title")), L"\u00c5sa Lindqvist - \u00dcber den Wolken");
    EXPECT_EQ(accessible.value(accessible.find(L"Volume")), L"80 of 100");

    // The panel's own keys: N next, - the volume down a twentieth, M mute.
    typeKeys({'N'});
    EXPECT_TRUE(waitUntil([&] { return contains(output(L"text title"), L"Zo\u00eb Marchetti"); }));
    typeKeys({VK_OEM_MINUS});
    EXPECT_TRUE(waitUntil([&] { return output(L"prop volume 5") == L"75\n"; }))
        << narrow(output(L"prop volume 5"));
    typeKeys({'M'});
    EXPECT_TRUE(waitUntil([&] { return contains(output(L"state mute"), L"on"); }));
    // Tab goes as the controls are read, row by row: the time, the position, then the
    // buttons; Shuffle is the seventh. Space: it is on, and says so as every toggle does.
    typeKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB});
    const long shuffle = accessible.find(L"Shuffle");
    EXPECT_TRUE(waitUntil([&] { return accessible.focused() == shuffle; })) << accessible.focused();
    typeKeys({VK_SPACE});
    EXPECT_TRUE(waitUntil([&] { return contains(output(L"state shuffle"), L"on"); }));
    EXPECT_TRUE(waitUntil([&] { return (accessible.state(shuffle) & STATE_SYSTEM_CHECKED) != 0; }));
    EXPECT_EQ(accessible.state(shuffle) & STATE_SYSTEM_PRESSED, 0);
    // Shift+Tab back over the buttons, the position and the time, round to the volume
    // slider, the last; Home turns it down.
    INPUT shiftDown{};
    shiftDown.type = INPUT_KEYBOARD;
    shiftDown.ki.wVk = VK_SHIFT;
    SendInput(1, &shiftDown, sizeof shiftDown);
    typeKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_TAB});
    shiftDown.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &shiftDown, sizeof shiftDown);
    const long volume = accessible.find(L"Volume");
    EXPECT_TRUE(waitUntil([&] { return accessible.focused() == volume; })) << accessible.focused();
    typeKeys({VK_HOME});
    EXPECT_TRUE(waitUntil([&] { return output(L"prop volume 5") == L"0\n"; }))
        << narrow(output(L"prop volume 5"));
    // A dragged slider follows the pointer: the volume changes before the button is let go.
    const RECT slider = layoutFor(kDefaultWidth).volumeSlider;
    POINT from{slider.left + 2, (slider.top + slider.bottom) / 2}, to{slider.right - 2, from.y};
    ClientToScreen(panel_, &from);
    ClientToScreen(panel_, &to);
    SetCursorPos(from.x, from.y);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof press);
    for (int step = 1; step <= 10; ++step) {
        SetCursorPos(from.x + (to.x - from.x) * step / 10, from.y);
        Sleep(60);
    }
    EXPECT_TRUE(waitUntil([&] { return output(L"prop volume 5") != L"0\n"; }, 3000))
        << "still 0 while dragged";
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &press, sizeof press);
    // The time counts down, and says so with its sign.
    EXPECT_EQ(accessible.value(accessible.find(L"Time")).rfind(L"\u2212", 0), 0u)
        << narrow(accessible.value(accessible.find(L"Time")));
}

// Every control a click reaches, a key reaches too: its letter, and Space or Enter once
// Tab has come to it; each press reaches the player as its click does, and each key of
// a focused slider sends the value it should.
TEST_F(OnTheDisplay, EveryControlAClickReachesAKeyReachesToo) {
    FakePlayer fake;
    fake.answer(protocol::RM_IS_SUPPORTED, 1);
    fake.answer(protocol::RM_GET_TRACKLENGTH, 200);
    fake.answer(protocol::RM_GET_POSITION, 10);
    fake.answer(protocol::RM_GET_MAXVOLUME, 100);
    fake.answer(protocol::RM_GET_VOLUME, 40);
    fake.answer(protocol::RM_PLAYLIST_COUNT, 3);
    fake.answerWith(protocol::RM_PLAYLIST_ITEMTEXT, [](WPARAM i) {
        return Reply{1, L"Entry " + std::to_wstring(i)};
    });
    openPanel();
    ASSERT_TRUE(giveThePanelTheKeyboard());
    const Accessible accessible(panel_);
    ASSERT_TRUE(accessible);
    const auto postedNow = [&](UINT message) {
        return waitUntil(
            [&] {
                for (const ReceivedMessage& m : fake.messages())
                    if (!m.sent && m.message == message)
                        return true;
                return false;
            },
            3000);
    };
    const auto menuOpensAndCloses = [] {
        HWND menu = nullptr;
        if (!waitUntil([&] { return (menu = openMenu()) != nullptr; }, 3000))
            return false;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        return waitUntil([] { return openMenu() == nullptr; }, 3000);
    };
    struct Press {
        const wchar_t* control; // its name to a screen reader; empty: a letter alone
        WORD key;               // the letter, or Space or Enter on the focused control
        UINT message;           // what it posts; 0: the playlist menu opens
    };
    const Press presses[] = {
        {L"", 'P', protocol::RM_PLAYPAUSE},
        {L"", 'N', protocol::RM_NEXT},
        {L"", 'B', protocol::RM_PREV},
        {L"", 'S', protocol::RM_STOP},
        {L"", 'M', protocol::RM_MUTE},
        {L"", 'L', 0},
        {L"", 'H', protocol::RM_SHUFFLE},
        {L"", 'R', protocol::RM_REPEAT},
        {L"", '1', protocol::RM_RATE1},
        {L"", '5', protocol::RM_RATE5},
        {L"Previous", VK_SPACE, protocol::RM_PREV},
        {L"Play", VK_RETURN, protocol::RM_PLAYPAUSE},
        {L"Stop", VK_SPACE, protocol::RM_STOP},
        {L"Next", VK_RETURN, protocol::RM_NEXT},
        {L"Shuffle", VK_SPACE, protocol::RM_SHUFFLE},
        {L"Repeat", VK_RETURN, protocol::RM_REPEAT},
        {L"Mute", VK_SPACE, protocol::RM_MUTE},
        {L"Playlist", VK_RETURN, 0},
        {L"Playlist", VK_SPACE, 0},
        {L"Rate 1", VK_RETURN, protocol::RM_RATE1},
        {L"Rate 5", VK_SPACE, protocol::RM_RATE5},
    };
    for (const Press& p : presses) {
        SCOPED_TRACE(narrow(std::wstring(p.control) + L" " + std::to_wstring(p.key)));
        fake.clearMessages();
        if (*p.control != L'\0') {
            const long id = accessible.find(p.control);
            ASSERT_NE(id, 0);
            for (int tabs = 0; tabs < 20 && accessible.focused() != id; ++tabs)
                typeKeys({VK_TAB});
            ASSERT_EQ(accessible.focused(), id);
        }
        typeKeys({p.key});
        if (p.message == 0)
            EXPECT_TRUE(menuOpensAndCloses());
        else
            EXPECT_TRUE(postedNow(p.message));
    }
    // A focused slider: the position in seconds (10 of 200, a step of 5), the volume (40
    // of 100, a step of a twentieth); End and Home go to its ends.
    struct Slide {
        const wchar_t* slider;
        WORD key;
        UINT message;
        WPARAM sent;
    };
    const Slide slides[] = {
        {L"Position", VK_RIGHT, protocol::RM_SEEK, 15},    {L"Position", VK_LEFT, protocol::RM_SEEK, 5},
        {L"Position", VK_UP, protocol::RM_SEEK, 15},       {L"Position", VK_DOWN, protocol::RM_SEEK, 5},
        {L"Position", VK_END, protocol::RM_SEEK, 200},     {L"Position", VK_HOME, protocol::RM_SEEK, 0},
        {L"Volume", VK_RIGHT, protocol::RM_SETVOLUME, 45}, {L"Volume", VK_LEFT, protocol::RM_SETVOLUME, 35},
        {L"Volume", VK_UP, protocol::RM_SETVOLUME, 45},    {L"Volume", VK_DOWN, protocol::RM_SETVOLUME, 35},
        {L"Volume", VK_END, protocol::RM_SETVOLUME, 100},  {L"Volume", VK_HOME, protocol::RM_SETVOLUME, 0},
    };
    for (const Slide& slide : slides) {
        SCOPED_TRACE(narrow(std::wstring(slide.slider) + L" " + std::to_wstring(slide.key)));
        const long id = accessible.find(slide.slider);
        for (int tabs = 0; tabs < 20 && accessible.focused() != id; ++tabs)
            typeKeys({VK_TAB});
        ASSERT_EQ(accessible.focused(), id);
        fake.clearMessages();
        typeKeys({slide.key});
        EXPECT_TRUE(waitUntil(
            [&] {
                for (const ReceivedMessage& m : fake.messages())
                    if (!m.sent && m.message == slide.message)
                        return m.wParam == slide.sent;
                return false;
            },
            3000));
    }
    // The time is a setting: Enter on it switches it, and the panel saves it.
    const long time = accessible.find(L"Time");
    for (int tabs = 0; tabs < 20 && accessible.focused() != time; ++tabs)
        typeKeys({VK_TAB});
    typeKeys({VK_RETURN});
    EXPECT_TRUE(
        waitUntil([&] { return GetPrivateProfileIntW(L"player", L"trackTime", -1, ini_.c_str()) == 0; }));
}

// What a screen reader hears of, through an out-of-context hook as screen readers set
// one (before the panel starts: Wine raises no events to a hook made after a process).
std::vector<std::pair<DWORD, LONG>> heard; // event, element
HWND heardFrom = nullptr;
void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (window == heardFrom && object == OBJID_CLIENT)
        heard.emplace_back(event, child);
}
std::size_t timesHeard(DWORD event, LONG element) {
    return static_cast<std::size_t>(
        std::count(heard.begin(), heard.end(), std::pair<DWORD, LONG>{event, element}));
}

// A screen reader is told what changes, once a change and for the element it changed
// in: a toggle pressed, the track, play and pause.
TEST_F(OnTheDisplay, AScreenReaderIsToldWhatChangesOnce) {
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                                               &hear, 0, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    startPlayer();
    openPanel();
    heardFrom = panel_;
    ASSERT_TRUE(giveThePanelTheKeyboard());
    const Accessible accessible(panel_);
    ASSERT_TRUE(accessible);
    const long title = accessible.find(L"Title"), repeat = accessible.find(L"Repeat"),
               mute = accessible.find(L"Mute"), play = accessible.find(L"Play");
    struct Change {
        const char* what;
        std::function<void()> make;
        DWORD event;
        long element;
    };
    const Change changes[] = {
        {"repeat with Space",
         [&] {
             for (int tabs = 0; tabs < 20 && accessible.focused() != repeat; ++tabs)
                 typeKeys({VK_TAB});
             typeKeys({VK_SPACE});
         },
         EVENT_OBJECT_STATECHANGE, repeat},
        {"mute with M", [] { typeKeys({'M'}); }, EVENT_OBJECT_STATECHANGE, mute},
        {"the next track", [] { typeKeys({'N'}); }, EVENT_OBJECT_VALUECHANGE, title},
        {"play", [] { typeKeys({'P'}); }, EVENT_OBJECT_NAMECHANGE, play},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        heard.clear();
        change.make();
        EXPECT_TRUE(pumpUntil([&] { return timesHeard(change.event, change.element) > 0; }, 5000));
        pumpUntil([] { return false; }, 1500); // six polls more: still once
        EXPECT_EQ(timesHeard(change.event, change.element), 1u);
    }
    UnhookWinEvent(hook);
}

// The display settings are where a person looks for them: check items of the context
// menu, reached and chosen from the keyboard, carried out through the plug-in and saved.
TEST_F(OnTheDisplay, TheDisplaySettingsAreChangedFromTheContextMenuByKeyboard) {
    startPlayer();
    openPanel();
    ASSERT_TRUE(giveThePanelTheKeyboard());
    const auto saved = [this](const wchar_t* key) {
        return GetPrivateProfileIntW(L"player", key, -1, ini_.c_str());
    };
    struct Setting {
        WORD letter;
        std::vector<const wchar_t*> keys; // each then 0
    };
    for (const Setting& setting :
         {Setting{'T', {L"scrollTitle"}}, Setting{'A', {L"scrollArtist", L"scrollAlbum"}},
          Setting{'R', {L"trackTime"}}}) {
        SCOPED_TRACE(static_cast<char>(setting.letter));
        typeKeys({VK_APPS}); // the context menu key
        ASSERT_TRUE(waitUntil([] { return openMenu() != nullptr; }, 3000));
        typeKeys({setting.letter});
        for (const wchar_t* key : setting.keys)
            EXPECT_TRUE(waitUntil([&] { return saved(key) == 0; })) << narrow(key) << " " << saved(key);
        EXPECT_TRUE(waitUntil([] { return openMenu() == nullptr; }, 3000));
    }
}

// A tooltip stays while the pointer rests on its control, the panel polling meanwhile.
TEST_F(OnTheDisplay, ATooltipStaysWhileThePointerRests) {
    startPlayer(L"--play");
    openPanel();
    SetForegroundWindow(panel_);
    DWORD panelProcess = 0;
    GetWindowThreadProcessId(panel_, &panelProcess);
    const auto shownTip = [panelProcess] {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == panelProcess && IsWindowVisible(w))
                return w;
        }
        return static_cast<HWND>(nullptr);
    };
    const POINT previous = onScreen(Control::Prev);
    SetCursorPos(previous.x, previous.y);
    SetCursorPos(previous.x + 1, previous.y); // a move over the control, as a mouse makes
    ASSERT_TRUE(waitUntil([&] { return shownTip() != nullptr; }, 4000)) << "no tooltip within 4 s";
    const ULONGLONG shown = GetTickCount64();
    while (GetTickCount64() - shown < 2500) { // ten polls, two of them for texts
        ASSERT_NE(shownTip(), nullptr) << "hidden after " << GetTickCount64() - shown << " ms";
        Sleep(20);
    }
}

} // namespace
