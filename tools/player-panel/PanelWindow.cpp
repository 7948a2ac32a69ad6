#include "PanelWindow.h"

#include "Console.h"
#include "HotkeyBinding.h"
#include "MenuEntry.h"
#include "PanelWords.h"
#include "Picture.h"
#include "Unique.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <utility>

namespace player_panel {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 250; // time and states; texts every fourth tick
constexpr UINT_PTR kScrollTimer = 2;
constexpr UINT_PTR kMenuPictureTimer = 3;
constexpr UINT kMenuPaintedMilliseconds = 800; // a menu is drawn on the screen by then
constexpr UINT kScrollMilliseconds = 80;
constexpr ULONGLONG kDragSendMilliseconds = 100; // a dragged volume reaches the player ten times a second
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The bitmap a paint draws into before it reaches the screen, so nothing flickers.
class Backbuffer {
public:
    Backbuffer(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)),
          old_(SelectObject(dc_, bitmap_)) {}
    ~Backbuffer() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Backbuffer(const Backbuffer&) = delete;
    Backbuffer& operator=(const Backbuffer&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// The keys of a section of an INI file, as written.
std::vector<std::wstring> sectionKeys(const wchar_t* section, const std::wstring& path) {
    std::vector<wchar_t> names(4096);
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(section, nullptr, L"", names.data(),
                                                      static_cast<DWORD>(names.size()), path.c_str());
        if (length + 2 < names.size())
            break;
        names.resize(names.size() * 2);
    }
    std::vector<std::wstring> keys;
    for (const wchar_t* key = names.data(); *key != L'\0'; key += lstrlenW(key) + 1)
        keys.emplace_back(key);
    return keys;
}

// Shows a menu and returns the chosen identifier, or, for a test, `pick` if the menu has it.
UINT choose(HMENU menu, POINT screen, HWND owner, UINT pick) {
    if (pick != 0)
        return GetMenuState(menu, pick, MF_BYCOMMAND) != static_cast<UINT>(-1) ? pick : 0;
    SetForegroundWindow(owner);
    return static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x,
                                            screen.y, 0, owner, nullptr));
}

// The functions of Windows 10's per-monitor DPI, where the system has them.
template <typename Fn>
Fn user32Function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32"), name)));
}

UINT windowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr)
        if (const UINT dpi = getDpiForWindow(window); dpi != 0)
            return dpi;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

// The window's outer size for a client area, with the frame of its DPI.
SIZE frameFor(const Layout& layout) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, layout.width, layout.height};
    if (adjustForDpi == nullptr || !adjustForDpi(&frame, kStyle, FALSE, 0, layout.dpi))
        AdjustWindowRect(&frame, kStyle, FALSE);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool isSlider(Control control) {
    return control == Control::TrackSlider || control == Control::VolumeSlider;
}

// Input that arrives while the panel waits in a call of the plug-in (a message sent to
// it, which Windows delivers during the wait) is taken up once the call is over, as a
// click of the mouse would be: never in the middle of a poll.
bool deferredInput(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_HOTKEY:
    case WM_CONTEXTMENU:
    case WM_KEYDOWN:
        return true;
    default:
        return false;
    }
}

// The controls that have a tooltip: every one drawn as an icon or a shape.
constexpr Control kTooltipControls[] = {
    Control::Prev,    Control::PlayPause, Control::Stop,        Control::Next,
    Control::Shuffle, Control::Repeat,    Control::Mute,        Control::Playlist,
    Control::Star1,   Control::Star2,     Control::Star3,       Control::Star4,
    Control::Star5,   Control::Time,      Control::TrackSlider, Control::VolumeSlider,
};

} // namespace

PanelWindow::PanelWindow(const tools::PluginLibrary& plugin, PlayerInstance* instance, std::wstring iniPath,
                         int width, UINT dpi)
    : plugin_(plugin), instance_(instance), settings_(plugin, instance, std::move(iniPath)),
      model_(plugin, instance), width_(width), fixedDpi_(dpi),
      layout_(layoutFor(width, dpi != 0 ? dpi : windowDpi(nullptr))) {}

PanelWindow::~PanelWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
    disconnect(accessible_);
}

bool PanelWindow::create(bool visible, bool hotkeys) {
    for (const std::wstring& warning : settings_.restore())
        problems_.push_back(warning);
    if (const std::wstring unsavable = settings_.whyUnsavable(); !unsavable.empty())
        problem(unsavable);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PanelWindow::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    const SIZE frame = frameFor(layout_);
    window_ = CreateWindowExW(0, kWindowClass, (model_.state().name + L" \u2014 player-panel").c_str(),
                              kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame.cx, frame.cy, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        return false;
    if (fixedDpi_ == 0)
        relayout(windowDpi(window_)); // the monitor it opened on may differ from the system's
    accessible_ = makeAccessible(*this);
    if (hotkeys)
        registerHotkeys();
    makeTooltips();
    pollAll();
    SetTimer(window_, kPollTimer, kPollMilliseconds, nullptr);
    SetTimer(window_, kScrollTimer, kScrollMilliseconds, nullptr);
    if (visible)
        ShowWindow(window_, SW_SHOWNORMAL);
    return true;
}

void PanelWindow::relayout(UINT dpi) {
    layout_ = layoutFor(width_, dpi);
    if (window_ == nullptr)
        return;
    const SIZE frame = frameFor(layout_);
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    makeTooltips();
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::makeTooltips() {
    if (tooltips_ == nullptr) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0,
                                    0, 0, window_, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (tooltips_ == nullptr)
            return;
        SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, layout_.px(320));
    }
    for (const Control control : kTooltipControls) {
        const std::wstring text = tooltipFor(control, model_.state());
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = static_cast<UINT_PTR>(control);
        tool.rect = rectOf(layout_, control);
        tool.lpszText = const_cast<wchar_t*>(text.c_str()); // copied by the control
        SendMessageW(tooltips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PanelWindow::pollAll() {
    const InPlugin inPlugin(inPlugin_);
    model_.pollFast();
    model_.pollSlow();
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, FALSE);
}

bool PanelWindow::photographMenu(const std::wstring& path, std::wstring& error) {
    menuPicture_ = path;
    menuError_ = L"the menu did not open";
    SetTimer(window_, kMenuPictureTimer, kMenuPaintedMilliseconds, nullptr);
    POINT corner{layout_.px(24), layout_.px(40)};
    ClientToScreen(window_, &corner);
    showContextMenu(corner, 0); // until the timer has taken the picture and closed it
    KillTimer(window_, kMenuPictureTimer);
    menuPicture_.clear();
    error = menuError_;
    return error.empty();
}

void PanelWindow::registerHotkeys() {
    // The catalogue names the commands; the panel's INI gives each a key: [hotkeys] next=Ctrl+Alt+Right.
    const int count = plugin_.getHotkeyCommands(nullptr);
    std::vector<HotkeyCommand> catalogue(static_cast<std::size_t>(count > 0 ? count : 0));
    if (!catalogue.empty())
        plugin_.getHotkeyCommands(catalogue.data());
    const auto inCatalogue = [&](const std::wstring& name) {
        for (const HotkeyCommand& entry : catalogue)
            if (lstrcmpiW(entry.command, name.c_str()) == 0)
                return true;
        return false;
    };
    std::wstring offered;
    for (const HotkeyCommand& entry : catalogue)
        offered += (offered.empty() ? L"" : L", ") + std::wstring(entry.command);
    for (const std::wstring& key : sectionKeys(L"hotkeys", settings_.fullPath()))
        if (!inCatalogue(key))
            problems_.push_back(L"hotkey " + tools::visible(key) + L" in " + settings_.path() +
                                L" is no hotkey command; the plug-in offers " + offered);
    for (const HotkeyCommand& entry : catalogue) {
        wchar_t text[64] = L"";
        GetPrivateProfileStringW(L"hotkeys", entry.command, L"", text, 64, settings_.fullPath().c_str());
        if (text[0] == L'\0')
            continue;
        const std::optional<HotkeyBinding> binding = parseHotkey(text);
        if (!binding) {
            problems_.push_back(L"hotkey " + std::wstring(entry.command) + L"=" + tools::visible(text) +
                                L" in " + settings_.path() + L" is not a key such as Ctrl+Alt+P");
            continue;
        }
        hotkeyCommands_.push_back(entry.command);
        const int id = static_cast<int>(hotkeyCommands_.size());
        if (!RegisterHotKey(window_, id, binding->modifiers | MOD_NOREPEAT, binding->key))
            problems_.push_back(L"hotkey " + std::wstring(text) + L" for " + entry.command +
                                L" could not be registered: " + tools::systemMessage(GetLastError()));
    }
}

std::vector<std::wstring> PanelWindow::takeProblems() {
    return std::exchange(problems_, {});
}

void PanelWindow::problem(const std::wstring& what) {
    problems_.push_back(what);
    model_.setProblem(what); // said on the panel too, where a person looks
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::save() {
    std::wstring error;
    if (settings_.saveIfChanged(error) == tools::DisplaySettings::Saved::Failed)
        problem(error);
}

void PanelWindow::openSettings() {
    // The file exists to be opened, with what the panel shows; where it cannot, the panel says why.
    std::wstring error;
    if (GetFileAttributesW(settings_.fullPath().c_str()) == INVALID_FILE_ATTRIBUTES &&
        settings_.save(error) == tools::DisplaySettings::Saved::Failed) {
        problem(error);
        return;
    }
    const auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(window_, L"open", settings_.fullPath().c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) // nothing opens .ini files here: say where it is
        model_.setProblem(L"Settings: " + settings_.fullPath());
}

LRESULT CALLBACK PanelWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<PanelWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<PanelWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && self != nullptr) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self = nullptr;
    }
    return self != nullptr ? self->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

void PanelWindow::paint(HDC dc) const {
    PanelView view = view_;
    if (!keyboardUsed_ || GetFocus() != window_)
        view.focused = Control::None; // the focus shows once the keyboard moved it
    paintPanel(dc, layout_, model_.state(), view);
}

void PanelWindow::onClick(POINT point) {
    const Control control = hitTest(layout_, point);
    if (control == Control::Playlist) {
        bool offered = false;
        {
            const InPlugin inPlugin(inPlugin_);
            offered = model_.answering() && model_.state().offers(Control::Playlist);
        }
        if (offered) {
            ClientToScreen(window_, &point);
            showPlaylistMenu(point, 0);
        }
        return;
    }
    const InPlugin inPlugin(inPlugin_);
    if (!model_.click(layout_, control, point.x))
        return;
    if (control == Control::Time)
        save(); // a display setting changed
    model_.pollFast();
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::pressControl(Control control) {
    if (control == Control::None || isSlider(control))
        return;
    POINT point = centreOf(layout_, control);
    if (control == Control::Playlist)
        point = {layout_.playlist.left, layout_.playlist.bottom}; // its menu opens below it
    onClick(point);
}

void PanelWindow::moveFocus(int step) {
    const int count = static_cast<int>(std::size(kTabOrder));
    int at =
        static_cast<int>(std::find(std::begin(kTabOrder), std::end(kTabOrder), view_.focused) - kTabOrder);
    // Controls that cannot be used are passed over, as Windows passes over disabled ones.
    for (int tried = 0; tried < count; ++tried) {
        at = at >= count ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
        const Control control = kTabOrder[at];
        const bool usable = control == Control::Time ? model_.state().player != PlayerStatus::NotResponding
                                                     : model_.state().offers(control);
        if (usable) {
            view_.focused = control;
            break;
        }
    }
    keyboardUsed_ = true;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, focusedElement());
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::stepSlider(Control slider, long long delta, bool toEnd) {
    const PanelState& s = model_.state();
    const bool volume = slider == Control::VolumeSlider;
    const long long low = volume ? s.volumeLow : s.trackLow, high = volume ? s.volumeHigh : s.trackHigh;
    const long long now = volume ? s.volume : s.track;
    const long long next = toEnd ? (delta < 0 ? low : high) : std::clamp(now + delta, low, high);
    const InPlugin inPlugin(inPlugin_);
    model_.setSlider(slider, next);
    model_.pollFast();
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::startDrag(Control slider, int x) {
    if (!model_.state().offers(slider))
        return;
    const PanelState& s = model_.state();
    view_.dragging = slider;
    view_.dragValue = slider == Control::VolumeSlider
                          ? sliderValue(layout_.volumeSlider, x, s.volumeLow, s.volumeHigh)
                          : sliderValue(layout_.trackSlider, x, s.trackLow, s.trackHigh);
    lastDragSent_ = 0;
    SetCapture(window_);
    InvalidateRect(window_, nullptr, FALSE);
}

void PanelWindow::followDrag(int x, bool done) {
    const Control slider = view_.dragging;
    const PanelState& s = model_.state();
    view_.dragValue = slider == Control::VolumeSlider
                          ? sliderValue(layout_.volumeSlider, x, s.volumeLow, s.volumeHigh)
                          : sliderValue(layout_.trackSlider, x, s.trackLow, s.trackHigh);
    // The thumb follows the pointer; the volume changes as it moves, the track when let go.
    const ULONGLONG now = GetTickCount64();
    if (done || (slider == Control::VolumeSlider && now - lastDragSent_ >= kDragSendMilliseconds)) {
        const InPlugin inPlugin(inPlugin_);
        model_.setSlider(slider, view_.dragValue);
        lastDragSent_ = now;
    }
    if (done) {
        view_.dragging = Control::None;
        ReleaseCapture();
        const InPlugin inPlugin(inPlugin_);
        model_.pollFast();
    }
    InvalidateRect(window_, nullptr, FALSE);
}

bool PanelWindow::onKey(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const Control focused = view_.focused;
    const PanelState& s = model_.state();
    const long long volumeStep = std::max<long long>(1, (s.volumeHigh - s.volumeLow) / 20);
    switch (key) {
    case VK_TAB:
        moveFocus(shift ? -1 : 1);
        return true;
    case VK_SPACE:
    case VK_RETURN:
        keyboardUsed_ = true;
        pressControl(focused);
        return true;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
        if (!isSlider(focused))
            return false;
        stepSlider(focused,
                   (key == VK_LEFT || key == VK_DOWN || key == VK_HOME ? -1 : 1) *
                       (focused == Control::VolumeSlider ? volumeStep : 5),
                   key == VK_HOME || key == VK_END);
        return true;
    case VK_OEM_PLUS:
    case VK_ADD:
    case VK_VOLUME_UP:
        stepSlider(Control::VolumeSlider, volumeStep, false);
        return true;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
    case VK_VOLUME_DOWN:
        stepSlider(Control::VolumeSlider, -volumeStep, false);
        return true;
    default:
        for (const ControlKey& pressing : kControlKeys)
            if (key == pressing.letter || (pressing.mediaKey != 0 && key == pressing.mediaKey)) {
                pressControl(pressing.control);
                return true;
            }
        return false;
    }
}

UINT PanelWindow::showContextMenu(POINT screen, UINT pick) {
    const tools::UniqueMenu menu(CreatePopupMenu());
    {
        // A player that does not answer gets no items of the plug-in, only the word that it does not.
        const InPlugin inPlugin(inPlugin_);
        if (model_.answering())
            plugin_.queryCtxMenu(instance_, menu.get(), 0, kFirstContextId);
        else
            AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, 0, L"Player not responding");
    }
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kSettingsId, L"Settings...");
    AppendMenuW(menu.get(), MF_STRING, kExitId, L"Exit");
    const UINT chosen = choose(menu.get(), screen, window_, pick);
    const InPlugin inPlugin(inPlugin_);
    if (chosen >= kFirstContextId && chosen < kFirstPlaylistId) {
        if (model_.answering()) // it may have stopped answering while the menu was open
            plugin_.invokeCtxMenu(instance_, static_cast<int>(chosen - kFirstContextId));
        pollAll();
    } else if (chosen == kSettingsId) {
        save();
        openSettings();
    } else if (chosen == kExitId) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    return chosen;
}

UINT PanelWindow::showPlaylistMenu(POINT screen, UINT pick) {
    PlaylistMenuItem* items = nullptr;
    {
        const InPlugin inPlugin(inPlugin_);
        items = plugin_.queryMenu(instance_, PLAYER_PLAYLIST_NAME);
    }
    int count = 0;
    while (items != nullptr && items[count].id != 0)
        ++count;
    // The entries draw themselves (MenuEntry) from these texts while the menu is open;
    // the menu holds pointers into them, so they never move (reserved).
    std::vector<std::wstring> texts;
    texts.reserve(static_cast<std::size_t>(count));
    const tools::UniqueMenu menu(CreatePopupMenu());
    for (int i = 0; i < count; ++i) {
        const UINT checked = items[i].flags == PLAYER_PLAYLIST_FLAG_CURRENT ? MF_CHECKED : MF_UNCHECKED;
        texts.push_back(tools::visible(items[i].text));
        AppendMenuW(menu.get(), MF_OWNERDRAW | checked, kFirstPlaylistId + static_cast<UINT>(items[i].id),
                    reinterpret_cast<const wchar_t*>(&texts.back()));
    }
    plugin_.freeMenu(instance_, PLAYER_PLAYLIST_NAME, items); // every array goes back, chosen or not
    playlistMenu_ = menu.get();
    const UINT chosen = choose(menu.get(), screen, window_, pick);
    playlistMenu_ = nullptr;
    const InPlugin inPlugin(inPlugin_);
    if (chosen > kFirstPlaylistId && model_.answering()) {
        plugin_.invokeMenu(instance_, PLAYER_PLAYLIST_NAME, static_cast<int>(chosen - kFirstPlaylistId));
        pollAll();
    }
    return chosen;
}

LRESULT PanelWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (inPlugin_ && deferredInput(message)) {
        PostMessageW(window_, message, wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kMenuPictureTimer) {
            KillTimer(window_, kMenuPictureTimer);
            for (HWND menu = nullptr; (menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr;)
                if (IsWindowVisible(menu)) {
                    RECT area{};
                    GetWindowRect(menu, &area);
                    menuError_.clear();
                    savePicture(nullptr, area, menuPicture_, menuError_);
                    break;
                }
            EndMenu();
            return 0;
        }
        if (wParam == kPollTimer) {
            const InPlugin inPlugin(inPlugin_);
            model_.pollFast();
            if (++ticks_ % 4 == 0) {
                model_.pollSlow();
                makeTooltips(); // "Play" or "Pause", "Time remaining" or "Time played"
            }
        } else {
            ++view_.scrollStep;
        }
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window_, &ps);
        const Backbuffer buffer(dc, layout_.width, layout_.height);
        paint(buffer.dc());
        BitBlt(dc, 0, 0, layout_.width, layout_.height, buffer.dc(), 0, 0, SRCCOPY);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_DPICHANGED: {
        if (fixedDpi_ == 0) {
            relayout(HIWORD(wParam));
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetFocus(window_);
        const Control control = hitTest(layout_, point);
        if (control != Control::None)
            view_.focused = control; // the keyboard goes on from what was clicked
        if (isSlider(control))
            startDrag(control, point.x);
        return 0;
    }
    case WM_MOUSEMOVE:
        if (view_.dragging != Control::None && (wParam & MK_LBUTTON) != 0)
            followDrag(GET_X_LPARAM(lParam), false);
        return 0;
    case WM_LBUTTONUP:
        if (view_.dragging != Control::None)
            followDrag(GET_X_LPARAM(lParam), true);
        else
            onClick({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_CAPTURECHANGED:
        view_.dragging = Control::None;
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_KEYDOWN:
        if (onKey(wParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT answer = answerGetObject(accessible_, wParam, lParam); answer != 0)
            return answer;
        break;
    case WM_MOUSEWHEEL: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(window_, &point);
        if (hitTest(layout_, point) == Control::VolumeSlider) {
            const InPlugin inPlugin(inPlugin_);
            model_.wheel(GET_WHEEL_DELTA_WPARAM(wParam));
            model_.pollFast();
            InvalidateRect(window_, nullptr, FALSE);
        }
        return 0;
    }
    case WM_CONTEXTMENU: {
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (point.x == -1 && point.y == -1) { // from the keyboard: at the panel's corner
            point = {0, 0};
            ClientToScreen(window_, &point);
        }
        showContextMenu(point, 0);
        return 0;
    }
    case kPing:
        PostThreadMessageW(static_cast<DWORD>(wParam), kPing, 0, 0);
        return 0;
    case kPickMenuItem: {
        POINT corner{0, 0};
        ClientToScreen(window_, &corner);
        const UINT pick = static_cast<UINT>(lParam);
        return wParam == kPlaylistMenu ? showPlaylistMenu(corner, pick) : showContextMenu(corner, pick);
    }
    case WM_MEASUREITEM: {
        auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_MENU || item.itemData == 0)
            break;
        const HDC dc = GetDC(window_);
        const SIZE size = measureMenuEntry(dc, *reinterpret_cast<const std::wstring*>(item.itemData));
        ReleaseDC(window_, dc);
        item.itemWidth = static_cast<UINT>(size.cx);
        item.itemHeight = static_cast<UINT>(size.cy);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlType != ODT_MENU || item.itemData == 0)
            break;
        paintMenuEntry(item);
        return TRUE;
    }
    case WM_MENUCHAR:
        if (reinterpret_cast<HMENU>(lParam) != playlistMenu_)
            break;
        return entryStartingWith(playlistMenu_, LOWORD(wParam));
    case WM_HOTKEY:
        if (const InPlugin inPlugin(inPlugin_);
            wParam >= 1 && wParam <= hotkeyCommands_.size() && model_.answering()) {
            plugin_.sendCmd(instance_, hotkeyCommands_[wParam - 1].c_str(), 0);
            model_.pollFast();
            InvalidateRect(window_, nullptr, FALSE);
        }
        return 0;
    case WM_DESTROY:
        for (std::size_t id = 1; id <= hotkeyCommands_.size(); ++id)
            UnregisterHotKey(window_, static_cast<int>(id));
        save();
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// What accessibility clients are told: the two lines of text, then the controls in the
// order Tab moves between them.
std::wstring PanelWindow::panelName() const {
    return model_.state().name + L" panel";
}

int PanelWindow::elementCount() const {
    return 2 + static_cast<int>(std::size(kTabOrder));
}

ElementFacts PanelWindow::element(int id) const {
    if (id <= 2)
        return describeLine(id == 1, model_.state(), layout_);
    const Control control = kTabOrder[id - 3];
    return describe(control, model_.state(), layout_, GetFocus() == window_ && view_.focused == control);
}

int PanelWindow::focusedElement() const {
    const auto at = std::find(std::begin(kTabOrder), std::end(kTabOrder), view_.focused);
    return at == std::end(kTabOrder) ? 0 : 3 + static_cast<int>(at - std::begin(kTabOrder));
}

void PanelWindow::press(int id) {
    // Called by a client through COM, on the panel's thread: as a click, once this call is over.
    if (id < 3 || id > elementCount())
        return;
    const POINT centre = centreOf(layout_, kTabOrder[id - 3]);
    PostMessageW(window_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    PostMessageW(window_, WM_LBUTTONUP, 0, MAKELPARAM(centre.x, centre.y));
}

} // namespace player_panel
