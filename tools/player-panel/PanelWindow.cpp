#include "PanelWindow.h"

#include "Console.h"
#include "HotkeyBinding.h"
#include "MenuEntry.h"
#include "PanelPaint.h"
#include "Unique.h"

#include <shellapi.h>
#include <windowsx.h>

#include <utility>

namespace player_panel {
namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMilliseconds = 250; // time and states; texts every fourth tick
constexpr UINT_PTR kScrollTimer = 2;
constexpr UINT kScrollMilliseconds = 80;

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

} // namespace

PanelWindow::PanelWindow(const tools::PluginLibrary& plugin, PlayerInstance* instance, std::wstring iniPath,
                         int width)
    : plugin_(plugin), instance_(instance), settings_(plugin, instance, std::move(iniPath)),
      model_(plugin, instance), layout_(layoutFor(width)) {}

PanelWindow::~PanelWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
}

bool PanelWindow::create(bool visible) {
    for (const std::wstring& warning : settings_.restore())
        problems_.push_back(warning);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PanelWindow::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, layout_.width, kPanelHeight};
    AdjustWindowRect(&frame, style, FALSE);
    window_ = CreateWindowExW(0, kWindowClass, (model_.state().name + L" \u2014 player-panel").c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        return false;
    registerHotkeys();
    pollAll();
    SetTimer(window_, kPollTimer, kPollMilliseconds, nullptr);
    SetTimer(window_, kScrollTimer, kScrollMilliseconds, nullptr);
    if (visible)
        ShowWindow(window_, SW_SHOWNORMAL);
    return true;
}

void PanelWindow::pollAll() {
    const InPlugin inPlugin(inPlugin_);
    model_.pollFast();
    model_.pollSlow();
    if (window_ != nullptr)
        InvalidateRect(window_, nullptr, FALSE);
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

void PanelWindow::save() {
    std::wstring error;
    if (settings_.saveIfChanged(error) == tools::DisplaySettings::Saved::Failed)
        problems_.push_back(error);
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
    paintPanel(dc, layout_, model_.state(), scrollStep_);
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
        ShellExecuteW(window_, L"open", settings_.fullPath().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
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

// Input that arrives while the panel waits in a call of the plug-in (a message sent to
// it, which Windows delivers during the wait) is taken up once the call is over, as a
// click of the mouse would be: never in the middle of a poll.
bool deferredInput(UINT message) {
    switch (message) {
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_HOTKEY:
    case WM_CONTEXTMENU:
    case WM_KEYDOWN:
    case WM_CHAR:
        return true;
    default:
        return false;
    }
}

LRESULT PanelWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (inPlugin_ && deferredInput(message)) {
        PostMessageW(window_, message, wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_TIMER:
        if (wParam == kPollTimer) {
            const InPlugin inPlugin(inPlugin_);
            model_.pollFast();
            if (++ticks_ % 4 == 0)
                model_.pollSlow();
        } else {
            ++scrollStep_;
        }
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC dc = BeginPaint(window_, &ps);
        const Backbuffer buffer(dc, layout_.width, kPanelHeight);
        paint(buffer.dc());
        BitBlt(dc, 0, 0, layout_.width, kPanelHeight, buffer.dc(), 0, 0, SRCCOPY);
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONUP:
        onClick({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
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

} // namespace player_panel
