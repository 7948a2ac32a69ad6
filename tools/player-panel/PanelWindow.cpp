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

constexpr UINT kPollMilliseconds = 250; // the position; the rest every fourth poll (PanelModel)
constexpr int kCloseItem = 2;           // "Close player" (PLAYER_CONTEXT_ITEMS)
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

// Shows a menu and returns the chosen identifier, or, for a test, `pick` if the menu has
// it and a person could choose it (not greyed).
UINT choose(HMENU menu, POINT screen, HWND owner, UINT pick) {
    if (pick != 0) {
        const UINT state = GetMenuState(menu, pick, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0 ? pick : 0;
    }
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

// Input that arrives while the window waits for a call of the plug-in (a message sent
// to it, which Windows delivers during the wait) is taken up once the call is over, as
// a click of the mouse would be.
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
      model_(plugin, instance), poller_(model_, kPollMilliseconds), shown_(model_.state()), width_(width),
      fixedDpi_(dpi), layout_(layoutFor(width, dpi != 0 ? dpi : windowDpi(nullptr))) {}

PanelWindow::~PanelWindow() {
    poller_.stop();
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
    // The first look before there is a window (and a picture of it); from then on the
    // poller asks, and the window only shows what it found.
    model_.pollAll();
    shown_ = model_.state();
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
    poller_.start(window_, kStateChanged);
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
    if (tooltips_ != nullptr) {
        SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, layout_.px(320));
        for (const Control control : kTooltipControls) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = window_;
            tool.uId = static_cast<UINT_PTR>(control);
            tool.rect = rectOf(layout_, control);
            SendMessageW(tooltips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    InvalidateRect(window_, nullptr, FALSE);
}

// Each tooltip is added once and stays while the pointer rests on its control; only a
// text that changed ("Play" or "Pause") is given to it again.
void PanelWindow::makeTooltips() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                window_, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (tooltips_ == nullptr)
        return;
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, layout_.px(320));
    for (const Control control : kTooltipControls) {
        tooltipTexts_.push_back(tooltipFor(control, shown_));
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = static_cast<UINT_PTR>(control);
        tool.rect = rectOf(layout_, control);
        tool.lpszText = const_cast<wchar_t*>(tooltipTexts_.back().c_str()); // copied by the control
        SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PanelWindow::updateTooltips() {
    if (tooltips_ == nullptr)
        return;
    for (std::size_t i = 0; i < std::size(kTooltipControls); ++i) {
        std::wstring text = tooltipFor(kTooltipControls[i], shown_);
        if (text == tooltipTexts_[i])
            continue;
        tooltipTexts_[i] = std::move(text);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = window_;
        tool.uId = static_cast<UINT_PTR>(kTooltipControls[i]);
        tool.lpszText = const_cast<wchar_t*>(tooltipTexts_[i].c_str());
        SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void PanelWindow::call(PanelPoller::Job job, bool andWait) {
    if (!andWait) {
        poller_.post(std::move(job));
        return;
    }
    const InPlugin inPlugin(inPlugin_);
    const HANDLE done = poller_.postAndSignal(std::move(job));
    // Painting and screen readers meanwhile: WM_PAINT, and the messages sent to the window
    // (WM_GETOBJECT), which Windows delivers during the wait.
    while (done != nullptr && MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE,
                                                        QS_SENDMESSAGE | QS_PAINT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    if (done != nullptr)
        CloseHandle(done);
}

void PanelWindow::takeState() {
    const PanelState before = std::exchange(shown_, poller_.state());
    announceChanges(before);
    updateTooltips();
    InvalidateRect(window_, nullptr, FALSE);
}

// A screen reader is told what changed, once, for the element it changed in: a toggle
// pressed, a star lit, the track, the time, a control the player stopped offering.
void PanelWindow::announceChanges(const PanelState& before) const {
    for (int id = 1; id <= elementCount(); ++id) {
        const ElementFacts was = elementOf(id, before), now = elementOf(id, shown_);
        if (was.name != now.name)
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, id);
        if (was.value != now.value)
            NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, id);
        if (was.state != now.state)
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, id);
    }
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
    std::vector<std::wstring> problems = std::exchange(problems_, {});
    for (std::wstring& problem : poller_.takeProblems())
        problems.push_back(std::move(problem));
    return problems;
}

void PanelWindow::problem(const std::wstring& what) {
    problems_.push_back(what);
    if (window_ == nullptr) {
        model_.setProblem(what);
        return;
    }
    call([what](PanelModel& model) { model.setProblem(what); }); // said on the panel, where a person looks
}

// On the poller's thread, where the instance is: the settings are read out of it.
void PanelWindow::save() {
    std::wstring error;
    if (settings_.saveIfChanged(error) == tools::DisplaySettings::Saved::Failed)
        poller_.problem(error);
}

void PanelWindow::openSettings() {
    // The file exists to be opened, with what the panel shows; where it cannot, the panel says why.
    bool made = true;
    call(
        [this, &made](PanelModel&) {
            save();
            std::wstring error;
            if (GetFileAttributesW(settings_.fullPath().c_str()) == INVALID_FILE_ATTRIBUTES &&
                settings_.save(error) == tools::DisplaySettings::Saved::Failed) {
                poller_.problem(error);
                made = false;
            }
        },
        true);
    if (!made)
        return;
    const auto opened = reinterpret_cast<INT_PTR>(
        ShellExecuteW(window_, L"open", settings_.fullPath().c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (opened <= 32) { // nothing opens .ini files here: say where it is
        const std::wstring where = L"Settings: " + settings_.fullPath();
        call([where](PanelModel& model) { model.setProblem(where); });
    }
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
    paintPanel(dc, layout_, shown_, view);
}

void PanelWindow::onClick(POINT point) {
    const Control control = hitTest(layout_, point);
    if (control == Control::Playlist) {
        pressControl(control);
        return;
    }
    if (control == Control::None)
        return;
    const Layout layout = layout_; // as clicked, whatever the window does meanwhile
    call([this, layout, control, x = point.x](PanelModel& model) {
        if (model.click(layout, control, x) && control == Control::Time)
            save(); // a display setting changed
    });
}

void PanelWindow::pressControl(Control control) {
    if (control == Control::None || isSlider(control))
        return;
    if (control != Control::Playlist) {
        onClick(centreOf(layout_, control));
        return;
    }
    // After the key's own messages (its character, which the menu would take for a choice).
    if (shown_.offers(Control::Playlist))
        PostMessageW(window_, kOpenPlaylistMenu, 0, 0);
}

void PanelWindow::moveFocus(int step) {
    const int count = static_cast<int>(std::size(kTabOrder));
    int at =
        static_cast<int>(std::find(std::begin(kTabOrder), std::end(kTabOrder), view_.focused) - kTabOrder);
    // Controls that cannot be used are passed over, as Windows passes over disabled ones.
    for (int tried = 0; tried < count; ++tried) {
        at = at >= count ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
        const Control control = kTabOrder[at];
        const bool usable =
            control == Control::Time ? shown_.player != PlayerStatus::NotResponding : shown_.offers(control);
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
    const PanelState& s = shown_;
    const bool volume = slider == Control::VolumeSlider;
    const long long low = volume ? s.volumeLow : s.trackLow, high = volume ? s.volumeHigh : s.trackHigh;
    const long long now = volume ? s.volume : s.track;
    const long long next = toEnd ? (delta < 0 ? low : high) : std::clamp(now + delta, low, high);
    call([slider, next](PanelModel& model) { model.setSlider(slider, next); });
}

void PanelWindow::startDrag(Control slider, int x) {
    if (!shown_.offers(slider))
        return;
    const PanelState& s = shown_;
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
    const PanelState& s = shown_;
    view_.dragValue = slider == Control::VolumeSlider
                          ? sliderValue(layout_.volumeSlider, x, s.volumeLow, s.volumeHigh)
                          : sliderValue(layout_.trackSlider, x, s.trackLow, s.trackHigh);
    // The thumb follows the pointer; the volume changes as it moves, the track when let go.
    const ULONGLONG now = GetTickCount64();
    if (done || (slider == Control::VolumeSlider && now - lastDragSent_ >= kDragSendMilliseconds)) {
        call([slider, value = view_.dragValue](PanelModel& model) { model.setSlider(slider, value); });
        lastDragSent_ = now;
    }
    if (done) {
        view_.dragging = Control::None;
        ReleaseCapture();
    }
    InvalidateRect(window_, nullptr, FALSE);
}

bool PanelWindow::onKey(WPARAM key) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const Control focused = view_.focused;
    const PanelState& s = shown_;
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
    const HMENU handle = menu.get();
    call(
        [this, handle](PanelModel& model) {
            const bool answering = model.answering();
            // A silent player's items come at once, unmarked: closing it must stay possible.
            plugin_.queryCtxMenu(instance_, handle, 0, kFirstContextId);
            if (answering)
                return;
            InsertMenuW(handle, 0, MF_BYPOSITION | MF_STRING | MF_GRAYED, 0, L"Player not responding");
            // Its other items would only wait in its queue, their marks unknown.
            for (int k = 3; k <= 10; ++k)
                EnableMenuItem(handle, kFirstContextId + k, MF_BYCOMMAND | MF_GRAYED);
        },
        true);
    // The display settings, where a person looks for them: checked while on.
    const auto checked = [](bool on) { return MF_STRING | (on ? MF_CHECKED : MF_UNCHECKED); };
    AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(handle, checked(shown_.scrollTitle), kScrollTitleId, L"Scroll the &title");
    AppendMenuW(handle, checked(shown_.scrollDetails), kScrollDetailsId, L"Scroll &artist and album");
    AppendMenuW(handle, checked(shown_.remaining), kRemainingId, L"Show the time &remaining");
    AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(handle, MF_STRING, kSettingsId, L"Settings &file...");
    AppendMenuW(handle, MF_STRING, kExitId, L"E&xit");
    const UINT chosen = choose(handle, screen, window_, pick);
    if (chosen >= kFirstContextId && chosen < kFirstPlaylistId) {
        const int item = static_cast<int>(chosen - kFirstContextId);
        call(
            [this, item](PanelModel& model) {
                // It may have stopped answering while the menu was open; closing it is posted all the same.
                if (item == kCloseItem || model.answering())
                    plugin_.invokeCtxMenu(instance_, item);
                model.pollSecond();
            },
            true);
    } else if (chosen == kScrollTitleId || chosen == kScrollDetailsId || chosen == kRemainingId) {
        const PanelModel::DisplaySetting setting =
            chosen == kScrollTitleId     ? PanelModel::DisplaySetting::ScrollTitle
            : chosen == kScrollDetailsId ? PanelModel::DisplaySetting::ScrollDetails
                                         : PanelModel::DisplaySetting::Remaining;
        call(
            [this, setting](PanelModel& model) {
                model.toggle(setting);
                save();
            },
            true);
    } else if (chosen == kSettingsId) {
        openSettings();
    } else if (chosen == kExitId) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    return chosen;
}

UINT PanelWindow::showPlaylistMenu(POINT screen, UINT pick) {
    struct Entry {
        std::wstring text;
        bool current;
        int id;
    };
    std::vector<Entry> entries;
    call(
        [this, &entries](PanelModel&) {
            PlaylistMenuItem* items = plugin_.queryMenu(instance_, PLAYER_PLAYLIST_NAME);
            for (int i = 0; items != nullptr && items[i].id != 0; ++i)
                entries.push_back({tools::visible(items[i].text),
                                   items[i].flags == PLAYER_PLAYLIST_FLAG_CURRENT, items[i].id});
            plugin_.freeMenu(instance_, PLAYER_PLAYLIST_NAME, items); // every array goes back
        },
        true);
    // The entries draw themselves (MenuEntry) from these texts while the menu is open;
    // the menu holds pointers into them, and the vector no longer changes.
    const tools::UniqueMenu menu(CreatePopupMenu());
    for (const Entry& entry : entries)
        AppendMenuW(menu.get(), MF_OWNERDRAW | (entry.current ? MF_CHECKED : MF_UNCHECKED),
                    kFirstPlaylistId + static_cast<UINT>(entry.id),
                    reinterpret_cast<const wchar_t*>(&entry.text));
    playlistMenu_ = menu.get();
    const UINT chosen = choose(menu.get(), screen, window_, pick);
    playlistMenu_ = nullptr;
    if (chosen > kFirstPlaylistId) {
        const int id = static_cast<int>(chosen - kFirstPlaylistId);
        call(
            [this, id](PanelModel& model) {
                if (model.answering())
                    plugin_.invokeMenu(instance_, PLAYER_PLAYLIST_NAME, id);
                model.pollSecond();
            },
            true);
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
        ++view_.scrollStep;
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case kStateChanged:
        takeState();
        return 0;
    case kOpenPlaylistMenu: {
        POINT below{layout_.playlist.left, layout_.playlist.bottom}; // its menu opens below it
        ClientToScreen(window_, &below);
        showPlaylistMenu(below, 0);
        return 0;
    }
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
        if (hitTest(layout_, point) == Control::VolumeSlider)
            call([delta = GET_WHEEL_DELTA_WPARAM(wParam)](PanelModel& model) { model.wheel(delta); });
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
        if (wParam >= 1 && wParam <= hotkeyCommands_.size())
            call([this, command = hotkeyCommands_[wParam - 1]](PanelModel& model) {
                if (model.answering())
                    plugin_.sendCmd(instance_, command.c_str(), 0);
            });
        return 0;
    case WM_DESTROY:
        for (std::size_t id = 1; id <= hotkeyCommands_.size(); ++id)
            UnregisterHotKey(window_, static_cast<int>(id));
        poller_.stop(); // the instance is this thread's again
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
    return shown_.name + L" panel";
}

int PanelWindow::elementCount() const {
    return 2 + static_cast<int>(std::size(kTabOrder));
}

ElementFacts PanelWindow::element(int id) const {
    ElementFacts facts = elementOf(id, shown_);
    if (id > 2 && GetFocus() == window_ && view_.focused == kTabOrder[id - 3])
        facts.state |= STATE_SYSTEM_FOCUSED;
    return facts;
}

ElementFacts PanelWindow::elementOf(int id, const PanelState& state) const {
    if (id <= 2)
        return describeLine(id == 1, state, layout_);
    return describe(kTabOrder[id - 3], state, layout_, false);
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
