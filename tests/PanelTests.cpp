// player-panel as a user meets it: its window driven by the messages a mouse sends,
// against the reference player, checked through the plug-in afterwards; its menus
// chosen through the test hook; its pictures decoded and measured.
#include "EndToEnd.h"
#include "PanelLayout.h"
#include "PanelWindow.h"
#include "Picture.h"

#include <thread>

using namespace testing_support;
using namespace player_panel;

namespace {

class Panel : public EndToEnd {
protected:
    ~Panel() override {
        closePanel();
        DeleteFileW(panelIni_.c_str());
    }

    std::wstring panelCommand(const std::wstring& options = L"") const {
        return L"\"" + besideProgram(L"player-panel.exe") + L"\" --ini \"" + panelIni_ + L"\" --exe \"" +
               referencePlayer() + L"\" " + options;
    }

    // The panel in its own process, its output collected until it ends.
    void openPanel() {
        runner_ = std::thread([this] { run_ = runProgram(panelCommand(), 60000); });
        ASSERT_TRUE(waitUntil([this] { return (panel_ = FindWindowW(kWindowClass, nullptr)) != nullptr; }));
    }

    void closePanel() {
        if (runner_.joinable()) {
            PostMessageW(panel_, WM_CLOSE, 0, 0);
            runner_.join();
        }
    }

    void click(Control control) const {
        const POINT p = centreOf(layoutFor(kDefaultWidth), control);
        PostMessageW(panel_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageW(panel_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

    std::wstring state(const wchar_t* name) const {
        wchar_t text[PLAYER_STATE_CAPACITY] = L"";
        plugin().getState(observer_, name, text);
        return text;
    }
    std::wstring title() const {
        wchar_t text[256] = L"";
        plugin().getText(observer_, L"title", text, 256);
        return text;
    }

    std::wstring panelIni_ = besideProgram(L"panel-tests.ini");
    Instance observer_; // the test's own view of the player, through the plug-in
    HWND panel_ = nullptr;
    std::thread runner_;
    ProgramRun run_;
};

TEST_F(Panel, ClicksWheelAndMenusReachThePlayer) {
    startPlayer();
    WritePrivateProfileStringW(L"hotkeys", L"next", L"Ctrl+Alt+F9", panelIni_.c_str());
    WritePrivateProfileStringW(L"hotkeys", L"stop", L"Hyper+Q", panelIni_.c_str());
    openPanel();

    const std::wstring first = title();
    click(Control::Next);
    EXPECT_TRUE(waitUntil([&] { return title() != first; })) << narrow(first);
    click(Control::PlayPause);
    EXPECT_TRUE(waitUntil([&] { return state(L"playpause") == L"play"; }));
    click(Control::Shuffle);
    EXPECT_TRUE(waitUntil([&] { return state(L"shuffle") == L"on"; }));
    click(Control::Star3);
    EXPECT_TRUE(waitUntil([&] { return state(L"rating3") == L"on" && state(L"rating4") == L"off"; }));

    const int volume = plugin().getProp(observer_, L"volume", 5);
    POINT wheelAt = centreOf(layoutFor(kDefaultWidth), Control::VolumeSlider);
    ClientToScreen(panel_, &wheelAt);
    PostMessageW(panel_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(wheelAt.x, wheelAt.y));
    EXPECT_TRUE(waitUntil([&] { return plugin().getProp(observer_, L"volume", 5) > volume; }));

    // The context menu as a right click builds it, its Repeat item chosen.
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kContextMenu, kFirstContextId + 3), kFirstContextId + 3);
    EXPECT_EQ(state(L"repeat"), L"on");
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kContextMenu, kFirstContextId + 77), 0);
    // The playlist menu, entry 5 chosen: the player plays it.
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kPlaylistMenu, kFirstPlaylistId + 5), kFirstPlaylistId + 5);
    PlaylistMenuItem* items = plugin().queryMenu(observer_, PLAYER_PLAYLIST_NAME);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(items[4].flags, PLAYER_PLAYLIST_FLAG_CURRENT);
    plugin().freeMenu(observer_, PLAYER_PLAYLIST_NAME, items);

    // A hotkey carries out its command; the click on the time is a setting, saved at exit.
    const std::wstring beforeHotkey = title();
    PostMessageW(panel_, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(waitUntil([&] { return title() != beforeHotkey; }));
    click(Control::Time);
    closePanel();
    EXPECT_EQ(run_.exitCode, 0u) << narrow(run_.errors);
    EXPECT_EQ(GetPrivateProfileIntW(L"player", L"trackTime", -1, panelIni_.c_str()), 0);
    EXPECT_TRUE(contains(run_.errors, L"player-panel: hotkey stop=Hyper+Q in ")) << narrow(run_.errors);
}

TEST_F(Panel, PicturesOfThePanelStoppedPlayingAndPaused) {
    const std::wstring absentPath = besideProgram(L"panel-absent.png");
    ASSERT_EQ(runProgram(panelCommand(L"--screenshot \"" + absentPath + L"\"")).exitCode, 0u);
    const Picture absent = loadPicture(absentPath);
    EXPECT_EQ(absent.width, static_cast<UINT>(kDefaultWidth));
    EXPECT_EQ(absent.height, static_cast<UINT>(kPanelHeight));

    startPlayer(L"--play");
    const auto picture = [&](const wchar_t* name) {
        const std::wstring path = besideProgram(name);
        EXPECT_EQ(runProgram(panelCommand(L"--width 420 --screenshot \"" + path + L"\"")).exitCode, 0u);
        return loadPicture(path);
    };
    const Picture playing = picture(L"panel-playing.png");
    host(L"cmd pause");
    const Picture paused = picture(L"panel-paused.png");
    ASSERT_EQ(playing.width, 420u);
    ASSERT_EQ(paused.height, static_cast<UINT>(kPanelHeight));
    // The play/pause button shows bars while playing and a triangle while paused.
    const RECT button = layoutFor(420).playPause;
    int differing = 0;
    for (LONG y = button.top; y < button.bottom; ++y)
        for (LONG x = button.left; x < button.right; ++x)
            differing += playing.at(static_cast<UINT>(x), static_cast<UINT>(y)) !=
                                 paused.at(static_cast<UINT>(x), static_cast<UINT>(y))
                             ? 1
                             : 0;
    EXPECT_GT(differing, 40);
    EXPECT_EQ(playing.at(0, 0) >> 24, 0xFFu); // opaque
}

} // namespace
