// PanelWindow: the panel as a window. Its poller (PanelPoller) makes every call of the
// plug-in on a thread of its own (PanelModel says what it asks when), so that the window paints, takes keys
// and answers screen readers at once whatever the player does; a timer only moves scrolling texts. Clicks,
// dragged sliders, the mouse wheel, the keyboard, the context menu, the playlist menu and hotkeys act through
// the plug-in's exports, handed to the poller. It lays itself out and draws for the window's DPI, and follows
// a change of it; it tells accessibility clients what each control is; each icon has a tooltip with its name
// and key. The display settings are restored at start and saved when they changed.
//
// Keys while the panel has the focus: Tab and Shift+Tab move between the controls,
// Space or Enter presses the focused one, the arrows (and Home, End) move a focused
// slider; and at any time P plays or pauses, N next, B previous, S stop, M mute, H
// shuffle, R repeat, T the time shown, 1 to 5 the stars, + and - the volume, L the
// playlist.
#pragma once

#include "DisplaySettings.h"
#include "PanelAccessible.h"
#include "PanelLayout.h"
#include "PanelModel.h"
#include "PanelPaint.h"
#include "PanelPoller.h"
#include "PluginLibrary.h"

#include <string>
#include <vector>

namespace player_panel {

inline constexpr wchar_t kWindowClass[] = L"PlayerPanel";

// For tests: SendMessage(panel, kPickMenuItem, menu, id) builds that menu as a right
// click (kContextMenu) or the playlist button (kPlaylistMenu) would, then chooses the
// item `id` instead of showing it. Answers the id when the menu had it, else 0.
inline constexpr UINT kPickMenuItem = WM_APP + 50;
// For the benchmark: PostMessage(panel, kPing, threadId, 0) is answered with kPing posted
// to that thread as soon as the panel takes its posted messages again; the time between
// the two is how long a click would wait.
inline constexpr UINT kPing = WM_APP + 51;
// From the poller: what the panel shows has changed.
inline constexpr UINT kStateChanged = WM_APP + 52;
// The playlist menu, opened once the key that asked for it has been taken up.
inline constexpr UINT kOpenPlaylistMenu = WM_APP + 53;
inline constexpr WPARAM kContextMenu = 0;
inline constexpr WPARAM kPlaylistMenu = 1;
// Identifiers in the panel's menus: the plug-in's context items from kFirstContextId,
// the playlist's entries from kFirstPlaylistId (+ the entry's id).
inline constexpr UINT kSettingsId = 1;
inline constexpr UINT kExitId = 2;
inline constexpr UINT kScrollTitleId = 3;
inline constexpr UINT kScrollDetailsId = 4;
inline constexpr UINT kRemainingId = 5;
inline constexpr UINT kFirstContextId = 1000;
inline constexpr UINT kFirstPlaylistId = 100000;

class PanelWindow : private AccessibleSource {
public:
    // `width` at 96 DPI; `dpi` 0 for the window's own, or a DPI to draw pictures at.
    PanelWindow(const tools::PluginLibrary& plugin, PlayerInstance* instance, std::wstring iniPath, int width,
                UINT dpi = 0);
    ~PanelWindow() override;
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    // Creates the window (hidden when `visible` is false), restores the settings and,
    // with `hotkeys`, registers the hotkeys; false when the window cannot be made.
    bool create(bool visible, bool hotkeys = true);
    HWND window() const override { return window_; }
    const Layout& layout() const { return layout_; }
    // Opens the context menu as a right click does and writes the picture the screen
    // shows of it (a real display draws menus; the headless one does not).
    bool photographMenu(const std::wstring& path, std::wstring& error);
    // What could not be done and the user should know, since last asked: settings and
    // hotkey problems at start, a settings file that could not be written later.
    std::vector<std::wstring> takeProblems();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    void relayout(UINT dpi);
    void onClick(POINT point);
    bool onKey(WPARAM key);
    void pressControl(Control control);
    // Hands a call of the plug-in to the poller; `andWait`: waits for it, painting and
    // answering screen readers meanwhile (input waits until it is done).
    void call(PanelPoller::Job job, bool andWait = false);
    void takeState();
    void announceChanges(const PanelState& before) const;
    void moveFocus(int step);
    void stepSlider(Control slider, long long delta, bool toEnd);
    void startDrag(Control slider, int x);
    void followDrag(int x, bool done);
    UINT showContextMenu(POINT screen, UINT pick);
    UINT showPlaylistMenu(POINT screen, UINT pick);
    void openSettings();
    void registerHotkeys();
    void makeTooltips();
    void updateTooltips();
    void save();
    void problem(const std::wstring& what);

    // AccessibleSource
    std::wstring panelName() const override;
    int elementCount() const override;
    ElementFacts element(int id) const override;
    ElementFacts elementOf(int id, const PanelState& state) const; // as it is in `state`, unfocused
    int focusedElement() const override;
    void press(int id) override;

    const tools::PluginLibrary& plugin_;
    PlayerInstance* instance_;
    tools::DisplaySettings settings_;
    PanelModel model_; // the poller's, once the window is made
    PanelPoller poller_;
    PanelState shown_; // what the window shows: the poller's state as last taken
    int width_;        // at 96 DPI
    UINT fixedDpi_;    // 0: the window's
    Layout layout_;
    PanelView view_;
    bool keyboardUsed_ = false; // the focus shows once the keyboard moved it
    ULONGLONG lastDragSent_ = 0;
    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    std::vector<std::wstring> tooltipTexts_; // as the tooltips hold them, by kTooltipControls
    PanelAccessible* accessible_ = nullptr;
    HMENU playlistMenu_ = nullptr; // while it is open
    // True while the window waits for a call of the plug-in.
    bool inPlugin_ = false;
    struct InPlugin {
        explicit InPlugin(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
        ~InPlugin() { flag_ = was_; }
        InPlugin(const InPlugin&) = delete;
        InPlugin& operator=(const InPlugin&) = delete;
        bool& flag_;
        bool was_;
    };
    std::wstring menuPicture_; // where photographMenu writes, while its menu is open
    std::wstring menuError_;
    std::vector<std::wstring> hotkeyCommands_;
    std::vector<std::wstring> problems_;
};

} // namespace player_panel
