// player-panel as a user meets it: its window driven by the messages a mouse sends,
// against the reference player, checked through the plug-in afterwards; its menus
// chosen through the test hook; its pictures decoded and measured.
#include "EndToEnd.h"
#include "FakePlayer.h"
#include "MessagePump.h"
#include "MenuEntry.h"
#include "PanelPaint.h"
#include "PanelText.h"
#include "PanelLayout.h"
#include "PanelWindow.h"
#include "Picture.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <map>

using namespace testing_support;
using namespace player_panel;

namespace {

class Panel : public EndToEnd {
public:
    static std::wstring readerValue(HWND window, long element);

protected:
    ~Panel() override {
        closePanel();
        DeleteFileW(panelIni_.c_str());
    }

    std::wstring panelCommand(const std::wstring& options = L"") const {
        return L"\"" + besideProgram(L"player-panel.exe") + L"\" --ini \"" + panelIni_ + L"\" --exe \"" +
               referencePlayer() + L"\" " + options;
    }

    // The panel in its own process, its output collected while it runs.
    void openPanel() {
        panelProgram_ = RunningProgram(panelCommand());
        ASSERT_TRUE(waitUntil([this] { return (panel_ = FindWindowW(kWindowClass, nullptr)) != nullptr; }));
    }

    void closePanel() {
        if (panelProgram_.started() && panelProgram_.running()) {
            PostMessageW(panel_, WM_CLOSE, 0, 0);
            run_ = panelProgram_.finish(60000);
        }
    }

    // A click as the mouse makes it; handled by the time this returns.
    void click(Control control) const {
        const POINT p = centreOf(layoutFor(kDefaultWidth), control);
        SendMessageW(panel_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageW(panel_, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }

    // True once the panel has taken up every message posted to it before.
    bool pingPanel() const {
        PostMessageW(panel_, kPing, GetCurrentThreadId(), 0);
        MSG msg;
        return waitUntil([&] { return PeekMessageW(&msg, nullptr, kPing, kPing, PM_REMOVE) != FALSE; }, 5000);
    }

    int savedTrackTime() const {
        return GetPrivateProfileIntW(L"player", L"trackTime", -1, panelIni_.c_str());
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

    // The name of a panel's element, read through oleacc as a screen reader reads it.
    static std::wstring readerName(HWND window, long element) {
        using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
        static const auto fromWindow = [] {
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the test's thread, for good
            return reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(
                GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
        }();
        IAccessible* object = nullptr;
        if (fromWindow == nullptr || FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                       IID_IAccessible, reinterpret_cast<void**>(&object))))
            return L"";
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = element;
        BSTR name = nullptr;
        object->get_accName(child, &name);
        std::wstring result = name != nullptr ? name : L"";
        SysFreeString(name);
        object->Release();
        return result;
    }

    std::wstring panelIni_ = besideProgram(L"panel-tests.ini");
    Instance observer_; // the test's own view of the player, through the plug-in
    HWND panel_ = nullptr;
    RunningProgram panelProgram_;
    ProgramRun run_;
};

// Its value: element 1 is the title line, as a screen reader reads what the panel shows.
std::wstring Panel::readerValue(HWND window, long element) {
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    const auto fromWindow = reinterpret_cast<FromWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    readerName(window, element); // the thread's COM, once
    IAccessible* object = nullptr;
    if (fromWindow == nullptr || FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                   reinterpret_cast<void**>(&object))))
        return L"";
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = element;
    BSTR value = nullptr;
    object->get_accValue(child, &value);
    std::wstring result = value != nullptr ? value : L"";
    SysFreeString(value);
    object->Release();
    return result;
}

TEST_F(Panel, ClicksWheelAndMenusReachThePlayer) {
    startPlayer();
    WritePrivateProfileStringW(L"hotkeys", L"next", L"Ctrl+Alt+F9", panelIni_.c_str());
    WritePrivateProfileStringW(L"hotkeys", L"stop", L"Hyper+Q", panelIni_.c_str());
    WritePrivateProfileStringW(L"hotkeys", L"nxt", L"Ctrl+Alt+N", panelIni_.c_str());
    openPanel();
    // Wrong hotkeys are said at start, while the panel runs.
    EXPECT_TRUE(waitUntil([&] { return contains(panelProgram_.printed(), L"hotkey nxt in "); }))
        << narrow(panelProgram_.printed());

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

    // A hotkey carries out its command.
    const std::wstring beforeHotkey = title();
    PostMessageW(panel_, WM_HOTKEY, 1, 0);
    EXPECT_TRUE(waitUntil([&] { return title() != beforeHotkey; }));
    // Each click on the time is a setting, and the file holds it once the click is carried out.
    for (const int expected : {0, 1, 0}) {
        click(Control::Time);
        EXPECT_TRUE(waitUntil([&] { return savedTrackTime() == expected; })) << savedTrackTime();
    }
    closePanel();
    EXPECT_EQ(run_.exitCode, 0u) << narrow(run_.errors);
    EXPECT_EQ(savedTrackTime(), 0);
    EXPECT_TRUE(contains(run_.errors, L"player-panel: hotkey stop=Hyper+Q in ")) << narrow(run_.errors);
}

// The panel has no presence check of its own: the plug-in tells it the player is silent,
// and once that has lasted two seconds it says "Player not responding". Its clicks are
// dropped then, but its context menu still closes the player.
TEST_F(Panel, ClicksWhileThePlayerHangsAreDroppedButItCanBeClosed) {
    FakePlayer fake;
    fake.answer(protocol::RM_IS_SUPPORTED, 1);
    openPanel();
    fake.hangOnNext();
    ASSERT_TRUE(waitUntil([&] { return fake.hanging(); }));
    ASSERT_TRUE(waitUntil([&] { return readerValue(panel_, 1) == L"Player not responding"; }, 5000));
    for (const Control control : {Control::Next, Control::PlayPause, Control::Shuffle, Control::Star3})
        click(control);
    SendMessageW(panel_, WM_HOTKEY, 1, 0);
    // Repeat is greyed, Close player is not.
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kContextMenu, kFirstContextId + 3), 0);
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kContextMenu, kFirstContextId + 2), kFirstContextId + 2);
    fake.release();
    std::vector<ReceivedMessage> posted;
    for (const ReceivedMessage& m : fake.messages())
        if (!m.sent)
            posted.push_back(m);
    EXPECT_EQ(posted, (std::vector<ReceivedMessage>{testing_support::posted(protocol::RM_QUIT)}));
}

// A player that appears is asked everything at once; until its title has come the
// panel says it is starting, never an empty title with live-looking controls.
TEST_F(Panel, SaysThePlayerIsStartingUntilItsTitleComes) {
    openPanel();
    ASSERT_TRUE(waitUntil([&] { return readerValue(panel_, 1) == L"Player not running"; }));
    auto fake = std::make_unique<FakePlayer>();
    fake->answer(protocol::RM_IS_SUPPORTED, 1);
    fake->answerText(protocol::RM_TEXT_TITLE, 1, L"A title");
    fake->delayOn(protocol::RM_TEXT_TITLE, 600);
    const ULONGLONG appeared = GetTickCount64();
    std::vector<std::wstring> seen;
    for (std::wstring line; GetTickCount64() - appeared < 5000 && line != L"A title"; Sleep(20)) {
        line = readerValue(panel_, 1);
        if (seen.empty() || seen.back() != line)
            seen.push_back(line);
    }
    const ULONGLONG titled = GetTickCount64() - appeared;
    std::wstring said;
    for (const std::wstring& line : seen)
        said += L"[" + line + L"] ";
    EXPECT_EQ(seen.back(), L"A title") << narrow(said);
    EXPECT_TRUE(std::find(seen.begin(), seen.end(), L"Player starting\u2026") != seen.end()) << narrow(said);
    for (const std::wstring& line : seen)
        EXPECT_TRUE(line == L"Player not running" || line == L"Player starting\u2026" || line == L"A title")
            << narrow(said);
    EXPECT_LT(titled, 2000u) << "the texts are asked at once when a player appears";
    closePanel();
}

// The panel asks what it shows at the pace a person sees it, about 25 messages a second
// to a prompt player; against a sluggish player, or one that pauses a second now and
// then, its title line stays the player's title, with no "Player not responding".
TEST_F(Panel, AsksAtAPersonsPaceAndStaysSteadyWithSluggishAndPausingPlayers) {
    const auto script = [](FakePlayer& fake) {
        fake.answer(protocol::RM_IS_SUPPORTED, 1);
        fake.answer(protocol::RM_STATE_PLAYPAUSE, 1);
        fake.answerText(protocol::RM_TEXT_TITLE, 1, L"A title");
        fake.answerText(protocol::RM_TEXT_ARTIST, 1, L"An artist");
        fake.answer(protocol::RM_GET_TRACKLENGTH, 200);
        fake.answer(protocol::RM_GET_POSITION, 10);
        fake.answer(protocol::RM_GET_MAXVOLUME, 100);
        fake.answer(protocol::RM_GET_VOLUME, 40);
    };
    {
        FakePlayer prompt;
        script(prompt);
        openPanel();
        ASSERT_TRUE(waitUntil([&] { return readerValue(panel_, 1) == L"A title"; }));
        prompt.clearMessages();
        Sleep(10'000); // the count over a time, not a condition
        std::size_t sent = 0;
        for (const ReceivedMessage& m : prompt.messages())
            sent += m.sent ? 1 : 0;
        EXPECT_LE(sent, 260u) << sent << " messages in 10 s";
        closePanel();
    }
    struct Pace {
        const char* what;
        std::function<void(FakePlayer&)> set;
    };
    const Pace paces[] = {
        {"40 ms a message", [](FakePlayer& f) { f.delayAll(40); }},
        {"60 ms a message", [](FakePlayer& f) { f.delayAll(60); }},
        {"a pause of 1 s every 100th message", [](FakePlayer& f) { f.pauseNext(1000, 100); }},
    };
    for (const Pace& pace : paces) {
        SCOPED_TRACE(pace.what);
        FakePlayer fake;
        script(fake);
        openPanel();
        ASSERT_TRUE(waitUntil([&] { return readerValue(panel_, 1) == L"A title"; }));
        pace.set(fake);
        int other = 0;
        std::wstring seen;
        for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 10'000; Sleep(100)) {
            const std::wstring line = readerValue(panel_, 1);
            if (line != L"A title") {
                ++other;
                seen = line;
            }
        }
        EXPECT_EQ(other, 0) << "the title line said " << narrow(seen);
        fake.delayAll(0);
        fake.pauseNext(0);
        closePanel();
    }
}

// Whatever the player's pace, the panel takes its messages and answers a screen reader
// at once: the plug-in is called on a thread of its own.
TEST_F(Panel, AnswersAtOnceWhateverThePlayersPace) {
    for (const DWORD pace : {150u, 300u, 600u, 0u}) {
        SCOPED_TRACE(pace == 0 ? std::string("hung") : std::to_string(pace) + " ms a message");
        FakePlayer fake;
        fake.answer(protocol::RM_IS_SUPPORTED, 1);
        fake.answerText(protocol::RM_TEXT_TITLE, 1, L"A title");
        openPanel();
        if (pace == 0)
            fake.hangOnNext();
        else
            fake.delayAll(pace);
        // A click is handed to the poller, never waited for: the window answers at once.
        const ULONGLONG clicked = GetTickCount64();
        click(Control::Next);
        ASSERT_TRUE(pingPanel());
        EXPECT_LT(GetTickCount64() - clicked, 300u) << "after a click";
        ULONGLONG longest = 0;
        for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < 3000;) {
            const ULONGLONG asked = GetTickCount64();
            ASSERT_TRUE(pingPanel());
            EXPECT_EQ(readerName(panel_, 3).rfind(L"Time", 0), 0u); // what a screen reader asks first
            longest = std::max(longest, GetTickCount64() - asked);
            Sleep(50);
        }
        EXPECT_LT(longest, 300u);
        fake.delayAll(0);
        fake.release();
        closePanel();
    }
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

// Pictures in the format their name says, or a refusal; a picture registers no hotkeys,
// and a settings file that cannot be saved is said at start, on the panel too.
TEST_F(Panel, PicturesSettingsAndHotkeysAsAUserMeetsThem) {
    const std::wstring jpeg = besideProgram(L"panel-picture.jpg");
    EXPECT_EQ(runProgram(panelCommand(L"--screenshot \"" + jpeg + L"\"")).exitCode, 0u);
    EXPECT_EQ(loadPicture(jpeg).width, static_cast<UINT>(kDefaultWidth));
    const ProgramRun gif = runProgram(panelCommand(L"--screenshot \"" + besideProgram(L"panel.gif") + L"\""));
    EXPECT_EQ(gif.exitCode, 2u);
    EXPECT_TRUE(contains(gif.errors, L"writes .png, .bmp, .jpg (.jpeg) or .tif (.tiff) files"))
        << narrow(gif.errors);

    // A panel holds Ctrl+Alt+F9; a picture taken meanwhile with the same file tries no key.
    WritePrivateProfileStringW(L"hotkeys", L"next", L"Ctrl+Alt+F9", panelIni_.c_str());
    openPanel();
    const ProgramRun picture = runProgram(panelCommand(L"--screenshot \"" + jpeg + L"\""));
    EXPECT_EQ(picture.exitCode, 0u);
    EXPECT_FALSE(contains(picture.errors, L"could not be registered")) << narrow(picture.errors);

    // "Settings..." before the first save makes the file, to be opened.
    DeleteFileW(panelIni_.c_str());
    EXPECT_EQ(SendMessageW(panel_, kPickMenuItem, kContextMenu, kSettingsId),
              static_cast<LRESULT>(kSettingsId));
    EXPECT_NE(GetFileAttributesW(panelIni_.c_str()), INVALID_FILE_ATTRIBUTES);
    closePanel();
    // What opened it (Wine's Notepad) is closed again: it would stand over panels to come.
    EXPECT_TRUE(waitUntil([] { return FindWindowW(L"Notepad", nullptr) != nullptr; }));
    for (HWND editor; (editor = FindWindowW(L"Notepad", nullptr)) != nullptr; Sleep(50))
        PostMessageW(editor, WM_CLOSE, 0, 0);

    // A folder that does not exist: said at start, on standard error and on the panel.
    const std::wstring nowhere = besideProgram(L"no-such-folder\\panel.ini");
    const std::wstring shot = besideProgram(L"panel-unsavable.png");
    const ProgramRun unsavable = runProgram(L"\"" + besideProgram(L"player-panel.exe") + L"\" --ini \"" +
                                            nowhere + L"\" --screenshot \"" + shot + L"\"");
    EXPECT_TRUE(
        contains(unsavable.errors, L"does not exist: changes to the display settings will not be saved"))
        << narrow(unsavable.errors);
    const Picture panel = loadPicture(shot);
    const RECT details = layoutFor(kDefaultWidth).details;
    int warning = 0;
    for (LONG y = details.top; y < details.bottom && panel.width > 0; ++y)
        for (LONG x = details.left; x < details.right; ++x)
            warning += (panel.at(static_cast<UINT>(x), static_cast<UINT>(y)) & 0xFFFFFF) == 0xF0AA3C ? 1 : 0;
    EXPECT_GT(warning, 20) << "the panel does not say it";
}

BOOL CALLBACK findTooltips(HWND window, LPARAM found) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, TOOLTIPS_CLASSW) == 0)
        *reinterpret_cast<HWND*>(found) = window;
    return TRUE;
}

// Every icon has a tooltip with its name, and its key where it has one.
TEST(PanelTooltips, EveryIconIsNamedWithItsKey) {
    Instance instance;
    const std::wstring ini = besideProgram(L"panel-tooltips.ini");
    PanelWindow panel(plugin(), instance, ini, kDefaultWidth);
    ASSERT_TRUE(panel.create(false, false));
    HWND tooltips = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &findTooltips, reinterpret_cast<LPARAM>(&tooltips));
    ASSERT_NE(tooltips, nullptr);
    std::map<Control, std::wstring> tips;
    const int count = static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = L"";
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        if (SendMessageW(tooltips, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool)))
            tips[static_cast<Control>(tool.uId)] = text;
    }
    struct Tip {
        Control control;
        const wchar_t* says;
    };
    for (const Tip& tip :
         {Tip{Control::Prev, L"Previous (B): back to the start of the track"},
          Tip{Control::PlayPause, L"Play (P)"}, Tip{Control::Stop, L"Stop (S)"},
          Tip{Control::Next, L"Next (N)"}, Tip{Control::Shuffle, L"Shuffle (H)"},
          Tip{Control::Repeat, L"Repeat (R)"}, Tip{Control::Mute, L"Mute (M)"},
          Tip{Control::Playlist, L"Playlist (L)"}, Tip{Control::Star4, L"Rate 4 stars (4)"},
          Tip{Control::Time, L"Time remaining (T)"}, Tip{Control::VolumeSlider, L"Volume (+, -)"}}) {
        SCOPED_TRACE(static_cast<int>(tip.control));
        EXPECT_EQ(tips[tip.control].rfind(tip.says, 0), 0u) << narrow(tips[tip.control]);
    }
    DeleteFileW(ini.c_str());
}

// The window's own picture, as WM_PRINTCLIENT paints it.
std::vector<std::uint32_t> windowPicture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<std::uint32_t> pixels(bits, bits + client.right * client.bottom);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// While the poller is half way through a change (the new title asked, the artist not
// yet), the window paints what a screen reader is told: the copy of the last whole
// poll, not the model the poller is writing.
TEST(PanelPainting, ThePictureAndTheScreenReaderAgreeWhileThePlayerIsHalfWayThroughAChange) {
    FakePlayer fake;
    fake.answer(protocol::RM_IS_SUPPORTED, 1);
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"Song A");
    fake.answerText(protocol::RM_TEXT_ARTIST, 1, L"Band A");
    Instance instance;
    const std::wstring ini = besideProgram(L"panel-halfway.ini");
    PanelWindow panel(plugin(), instance, ini, kDefaultWidth);
    ASSERT_TRUE(panel.create(false, false));
    const auto titleLine = [&] { return Panel::readerValue(panel.window(), 1); };
    ASSERT_TRUE(pumpUntil([&] { return titleLine() == L"Song A"; }));
    const std::vector<std::uint32_t> before = windowPicture(panel.window());
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"Song B");
    fake.hangOn(protocol::RM_TEXT_ARTIST);
    ASSERT_TRUE(pumpUntil([&] { return fake.hanging(); }));
    EXPECT_EQ(titleLine(), L"Song A");
    EXPECT_TRUE(windowPicture(panel.window()) == before) << "the window paints what no poll finished";
    fake.release();
    ASSERT_TRUE(pumpUntil([&] { return titleLine() == L"Song B"; }));
    EXPECT_FALSE(windowPicture(panel.window()) == before);
    DeleteFileW(ini.c_str());
}

// A playlist menu entry as the panel paints it: every pixel of a kEntryWidth x
// kEntryHeight picture, with the item state the menu gives (ODS_CHECKED, ODS_SELECTED).
constexpr int kEntryWidth = 320, kEntryHeight = 24;
std::vector<std::uint32_t> paintedEntry(const std::wstring& text, UINT state = 0) {
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kEntryWidth, -kEntryHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const DRAWITEMSTRUCT item{ODT_MENU,
                              0,
                              0,
                              ODA_DRAWENTIRE,
                              state,
                              nullptr,
                              dc,
                              {0, 0, kEntryWidth, kEntryHeight},
                              reinterpret_cast<ULONG_PTR>(&text)};
    paintMenuEntry(item);
    GdiFlush();
    std::vector<std::uint32_t> pixels(bits, bits + kEntryWidth * kEntryHeight);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// The panel's own painting, measured: what each state shows and where text may go.
class Painted {
public:
    Painted(int width, const PanelState& state, UINT dpi = kBaseDpi) : layout_(layoutFor(width, dpi)) {
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), layout_.width, -layout_.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        paintPanel(dc_, layout_, state);
        GdiFlush();
    }
    ~Painted() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    // Pixels within the rectangle that are not the panel's background.
    int inked(RECT r, COLORREF colour = kBackgroundColour) const {
        int count = 0;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                count += (bits_[y * layout_.width + x] & 0xFFFFFF) != rgb(colour) ? 1 : 0;
        return count;
    }
    int ofColour(RECT r, COLORREF colour) const {
        return (r.right - r.left) * (r.bottom - r.top) - inked(r, colour);
    }
    const Layout& layout() const { return layout_; }
    // The pixels of what is drawn within the rectangle, cut to their bounding box.
    std::vector<std::uint32_t> ink(RECT r) const {
        LONG left = r.right, right = r.left, top = r.bottom, bottom = r.top;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x)
                if ((bits_[y * layout_.width + x] & 0xFFFFFF) != rgb(kBackgroundColour)) {
                    left = std::min(left, x), right = std::max(right, x + 1);
                    top = std::min(top, y), bottom = std::max(bottom, y + 1);
                }
        std::vector<std::uint32_t> block{static_cast<std::uint32_t>(std::max(0L, right - left))};
        for (LONG y = top; y < bottom; ++y)
            for (LONG x = left; x < right; ++x)
                block.push_back(bits_[y * layout_.width + x] & 0xFFFFFF);
        return block;
    }

    static constexpr COLORREF kBackgroundColour = RGB(30, 34, 40);
    static constexpr COLORREF kAccentColour = RGB(58, 142, 230);
    static constexpr COLORREF kStarColour = RGB(250, 196, 60);

private:
    static std::uint32_t rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
    Layout layout_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    std::uint32_t* bits_ = nullptr;
};

// The time is drawn in the panel's face at every scale: the same text in the title line
// and in the time comes out as the same pixels.
TEST(PanelPainting, TheTimeIsDrawnInThePanelsFaceAtEveryScale) {
    PanelState playing;
    playing.player = PlayerStatus::Running;
    playing.title = L"4:05";
    playing.time = L"4:05";
    playing.remaining = false; // no sign before it
    playing.scrollTitle = false;
    for (const UINT dpi : {96u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        const Painted panel(kDefaultWidth, playing, dpi);
        const std::vector<std::uint32_t> title = panel.ink(panel.layout().title);
        ASSERT_GT(title.size(), 1u);
        EXPECT_TRUE(panel.ink(panel.layout().time) == title);
    }
}

// Star n is lit while its indicator is on: a player rated 4 that lights only the fourth
// shows just that star, as it says, and one that follows the rating shows four.
TEST(PanelPainting, EachStarShowsItsOwnIndicator) {
    PanelState state;
    state.player = PlayerStatus::Running;
    state.ratings = true;
    state.stars = {false, false, false, true, false};
    const Painted onlyFourth(kDefaultWidth, state);
    state.stars = {true, true, true, true, false};
    const Painted four(kDefaultWidth, state);
    for (std::size_t n = 0; n < 5; ++n) {
        SCOPED_TRACE(n + 1);
        const RECT& star = onlyFourth.layout().stars[n];
        EXPECT_EQ(onlyFourth.ofColour(star, Painted::kStarColour) > 0, n == 3);
        EXPECT_EQ(four.ofColour(star, Painted::kStarColour) > 0, n < 4);
    }
    // At 200 % an unlit star's outline is twice as long and twice as wide: four times the ink.
    const Painted large(kDefaultWidth, state, 2 * kBaseDpi);
    const int at100 = four.inked(four.layout().stars[4]), at200 = large.inked(large.layout().stars[4]);
    EXPECT_GT(at200, at100 * 7 / 2) << at100 << " and " << at200 << " pixels of outline";
}

TEST(PanelPainting, TextsEndBeforeTheTimeAndASilentPlayerShowsNothingStale) {
    PanelState playing;
    playing.player = PlayerStatus::Running;
    playing.name = L"Velmora Player";
    playing.title =
        L"Ngozi Ad\u00e9b\u00e1y\u1ecd\u0300 - A title far too long for any width of the panel at all";
    playing.time = L"62:05";
    playing.scrollTitle = false;
    playing.repeat = true;
    for (const int width : {kMinWidth, kDefaultWidth, 420, kMaxWidth}) {
        SCOPED_TRACE(width);
        const Painted panel(width, playing);
        const RECT& title = panel.layout().title;
        const RECT& time = panel.layout().time;
        // Between the title's end and the time nothing is drawn: the title ends in an ellipsis.
        EXPECT_EQ(panel.inked({title.right, title.top, time.left, title.bottom}), 0);
        EXPECT_GT(panel.inked(time), 0);
        EXPECT_GT(panel.ofColour(panel.layout().repeat, Painted::kAccentColour), 0); // repeat is on
    }
    // The state is its own line, never the part an ellipsis cuts, at the narrowest width.
    for (const PlayerStatus status : {PlayerStatus::Absent, PlayerStatus::NotResponding}) {
        PanelState stopped;
        stopped.player = status;
        stopped.name = L"Velmora Player";
        const Layout narrowest = layoutFor(kMinWidth);
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, panelFont(narrowest.px(15), FW_SEMIBOLD));
        EXPECT_EQ(fitted(dc, titleLine(stopped), narrowest.title.right - narrowest.title.left),
                  titleLine(stopped));
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
    }
    PanelState silent = playing;
    silent.player = PlayerStatus::NotResponding;
    silent.time = L"2:33";   // what it said before it stopped answering
    silent.caption = L"Old"; // and its caption
    const Painted panel(kDefaultWidth, silent);
    EXPECT_EQ(panel.inked(panel.layout().time), 0);
    EXPECT_EQ(detailsLine(silent), L"Velmora Player"); // its name, not the caption it gave before
    EXPECT_EQ(panel.ofColour(panel.layout().repeat, Painted::kAccentColour), 0); // drawn plainly
}

// The marks of the demo list's Yoruba texts (a dot below and a tone mark over one
// vowel) are drawn, in the title line, the details line and the playlist menu: each
// mark adds ink where the same text without it has none.
TEST(PanelPainting, CombiningMarksAreDrawnInBothLinesAndTheMenu) {
    const auto bare = [](std::wstring text) {
        std::erase_if(text, [](wchar_t c) { return c >= 0x300 && c <= 0x36F; });
        return text;
    };
    const auto lines = [](const std::wstring& text) {
        PanelState state;
        state.player = PlayerStatus::Running;
        state.title = state.artist = text;
        state.scrollTitle = state.scrollDetails = false;
        const Painted panel(kDefaultWidth, state);
        RECT title = panel.layout().title, details = panel.layout().details;
        InflateRect(&title, 0, 4);
        InflateRect(&details, 0, 4);
        return std::pair{panel.inked(title), panel.inked(details)};
    };
    const auto menuInk = [](const std::wstring& text) {
        const std::vector<std::uint32_t> pixels = paintedEntry(text);
        return std::count_if(pixels.begin(), pixels.end(),
                             [&](std::uint32_t pixel) { return pixel != pixels[0]; });
    };
    for (const wchar_t* sample : {L"Ngozi Ad\u00e9b\u00e1y\u1ecd\u0300", L"\u00cc\u1eb9\u0301",
                                  L"\u1ecc\u0300n\u00e0", L"Ad\u00e9b\u00e1yo\u0323\u0300"}) {
        SCOPED_TRACE(narrow(sample));
        const auto [title, details] = lines(sample);
        const auto [bareTitle, bareDetails] = lines(bare(sample));
        EXPECT_GT(title, bareTitle);
        EXPECT_GT(details, bareDetails);
        EXPECT_GT(menuInk(sample), menuInk(bare(sample)));
    }
}

TEST(PanelPainting, EveryScriptOfTheDemoListIsDrawnWithGlyphsNotBoxes) {
    // A character the fonts lack is drawn as the same box as any other they lack.
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 64, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
    HFONT font =
        CreateFontW(-15, 0, 0, 0, FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
    SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    const auto drawn = [&](const std::wstring& text) {
        PatBlt(dc, 0, 0, 64, 32, BLACKNESS);
        drawTextAt(dc, 2, 2, text);
        GdiFlush();
        return std::vector<std::uint32_t>(bits, bits + 64 * 32);
    };
    const auto box = drawn(L"\uE000");         // a private-use character: no font has it
    const auto wideBox = drawn(L"\U000F0000"); // nor this one, beyond the first plane
    for (const wchar_t* character : {L"\u591c", L"\u6b4c", L"\u6771", L"\u3051", L"\u1ecd", L"\u1eb9"})
        EXPECT_NE(drawn(character), box) << narrow(character) << " U+" << std::hex << int(character[0]);
    EXPECT_NE(drawn(L"\U0001F319"), wideBox); // the crescent moon
    EXPECT_NE(drawn(L"\U0001F319"), drawn(L"\U0001F31A"));
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST(PanelPainting, PlaylistEntriesShowTheirWholeTextAndTheirStateOnly) {
    // The columns from the first to the last where two pictures differ.
    const auto differ = [](const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
        std::pair<int, int> columns{kEntryWidth, -1};
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                columns = {std::min(columns.first, static_cast<int>(i % kEntryWidth)),
                           std::max(columns.second, static_cast<int>(i % kEntryWidth))};
        return columns;
    };
    // The moon is a glyph, not the box of a character no font has; an '&' is text, not a mnemonic.
    EXPECT_NE(paintedEntry(L"Night Drive \U0001F319", 0), paintedEntry(L"Night Drive \U000F0000", 0));
    // And it is drawn in the line's colour, not as a pale trace: as dark as the text is.
    const auto darkPixels = [](const std::vector<std::uint32_t>& picture) {
        return std::count_if(picture.begin(), picture.end(), [](std::uint32_t pixel) {
            return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 96;
        });
    };
    EXPECT_GT(darkPixels(paintedEntry(L"\U0001F319", 0)), 12) << "the moon is too pale to see";
    const auto empty = paintedEntry(L"", 0);
    EXPECT_GT(differ(paintedEntry(L"&x", 0), empty).second, differ(paintedEntry(L"x", 0), empty).second + 3);
    // The tick of the current entry stays left of where the text begins.
    const auto plain = paintedEntry(L"K\u014dji Tanaka", 0);
    const auto tick = differ(paintedEntry(L"K\u014dji Tanaka", ODS_CHECKED), plain);
    EXPECT_LE(tick.first, tick.second);
    EXPECT_LT(tick.second, differ(plain, empty).first);
    // A selected entry is highlighted; a title wider than half the screen ends in an ellipsis.
    const auto rgb = [](int colour) {
        const COLORREF c = GetSysColor(colour);
        return static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    };
    EXPECT_EQ(paintedEntry(L"", ODS_SELECTED)[kEntryWidth - 1] & 0xFFFFFF, rgb(COLOR_HIGHLIGHT));
    EXPECT_EQ(plain[kEntryWidth - 1] & 0xFFFFFF, rgb(COLOR_MENU));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_LE(measureMenuEntry(dc, std::wstring(5000, L'W')).cx, GetSystemMetrics(SM_CXSCREEN) / 2 + 40);
    DeleteDC(dc);
}

TEST(PlaylistMenuKeys, ALetterChoosesTheOneEntryItBeginsOrSelectsTheNextOfSeveral) {
    const std::vector<std::wstring> texts{
        L"\u00c5sa Lindqvist - \u00dcber den Wolken", L"The Quiet Hours - Night Drive",
        L"Zo\u00eb Marchetti - Caf\u00e9 de Flore", L"The Quiet Hours - Neon"};
    HMENU menu = CreatePopupMenu();
    for (const std::wstring& text : texts)
        AppendMenuW(menu, MF_OWNERDRAW, 100, reinterpret_cast<const wchar_t*>(&text));
    AppendMenuW(menu, MF_STRING, 200, L"Tail, drawn by the system"); // its data is no text
    const auto set = [&](UINT position, UINT mask, UINT state, ULONG_PTR data) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = mask;
        info.fState = state;
        info.dwItemData = data;
        SetMenuItemInfoW(menu, position, TRUE, &info);
    };
    set(4, MIIM_DATA, 0, 0xDEAD);
    const auto highlight = [&](UINT position) {
        for (UINT i = 0; i < 5; ++i)
            set(i, MIIM_STATE, i == position ? MFS_HILITE : 0, 0);
    };
    EXPECT_EQ(entryStartingWith(menu, L'z'), MAKELRESULT(2, MNC_EXECUTE));      // the only one: chosen
    EXPECT_EQ(entryStartingWith(menu, L'\u00e5'), MAKELRESULT(0, MNC_EXECUTE)); // any case, beyond ASCII
    EXPECT_EQ(entryStartingWith(menu, L't'), MAKELRESULT(1, MNC_SELECT));
    highlight(1);
    EXPECT_EQ(entryStartingWith(menu, L'T'), MAKELRESULT(3, MNC_SELECT)); // one of two: the next, then round
    highlight(3);
    EXPECT_EQ(entryStartingWith(menu, L't'), MAKELRESULT(1, MNC_SELECT));
    EXPECT_EQ(HIWORD(entryStartingWith(menu, L'q')), MNC_IGNORE);
    DestroyMenu(menu);
}

} // namespace
