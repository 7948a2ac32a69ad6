/* minimal-player.c: the smallest player that player.dll can drive, in C.
 *
 * A player author's starting point: one hidden window of the class in
 * PlayerRemote.h that answers every message of the protocol from a small state in
 * memory. Commands change the state; questions are answered at once with a number;
 * a text is answered by setting the window's title to it before returning (the
 * plug-in reads the title). It plays nothing aloud: the position moves on a timer.
 * A windowed program, so that a host that starts it gets no console window.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -municode -mwindows -I include minimal-player.c -o minimal-player.exe
 *   cl /I include minimal-player.c user32.lib /link /subsystem:windows */
#include "PlayerRemote.h"

#include <wchar.h>

typedef struct Track {
    const WCHAR* artist;
    const WCHAR* title; /* may be empty: the entry then has no text */
    const WCHAR* album;
    int seconds;
} Track;

static const Track tracks[] = {
    {L"The Examples", L"First Light", L"Samples", 185},
    {L"The Examples", L"Second Wind", L"Samples", 240},
    {L"", L"", L"", 95}, /* an entry without a title: its text is empty, and so is the title */
};
enum { kTrackCount = sizeof tracks / sizeof tracks[0], kMaxVolume = 100 };

static struct {
    int current, position, volume, playing, muted, shuffle, repeat;
    int rating[kTrackCount];
} player = {0, 0, 70, 1, 0, 0, 0, {0}};

/* The track's line as hosts show it: "Artist - Title", or what there is of it. */
static void trackLine(int index, WCHAR* line, size_t size) {
    const Track* t = &tracks[index];
    if (t->artist[0] != L'\0' && t->title[0] != L'\0')
        swprintf(line, size, L"%ls - %ls", t->artist, t->title);
    else
        swprintf(line, size, L"%ls", t->artist[0] != L'\0' ? t->artist : t->title);
}

/* A text reply: the title carries the text, the answer says whether there is one. */
static LRESULT reply(HWND window, const WCHAR* text) {
    if (text[0] == L'\0')
        return 0; /* no text, and the title is left alone */
    SetWindowTextW(window, text);
    return 1;
}

static void play(int index) {
    player.current = (index % kTrackCount + kTrackCount) % kTrackCount;
    player.position = 0;
    player.playing = 1;
}

/* Every message of the protocol but the two reserved numbers. */
static int handles(UINT m) {
    return (m >= RM_PLAYPAUSE && m <= RM_RATE5) || (m >= RM_STATE_PLAYPAUSE && m <= RM_STATE_RATING5) ||
           (m >= RM_TEXT_TITLE && m <= RM_TEXT_TRACKLEN && m != RM_TEXT_RESERVED1 &&
            m != RM_TEXT_RESERVED2) ||
           (m >= RM_GET_MAXVOLUME && m <= RM_GET_POSITION) || m == RM_IS_SUPPORTED || m == RM_GET_RATING ||
           (m >= RM_PLAYLIST_ITEMTEXT && m <= RM_PLAYLIST_PLAY);
}

static LRESULT answer(HWND window, UINT message, WPARAM wParam) {
    const Track* t = &tracks[player.current];
    WCHAR text[256];
    switch (message) {
    case RM_PLAYPAUSE:
        player.playing = !player.playing;
        return 0;
    case RM_PLAY:
        player.playing = 1;
        return 0;
    case RM_PAUSE:
        player.playing = 0;
        return 0;
    case RM_STOP:
        player.playing = 0;
        player.position = 0;
        return 0;
    case RM_NEXT:
        play(player.current + 1);
        return 0;
    case RM_PREV:
        play(player.current - 1);
        return 0;
    case RM_MUTE:
        player.muted = !player.muted;
        return 0;
    case RM_QUIT:
        DestroyWindow(window);
        return 0;
    case RM_SHUFFLE:
        player.shuffle = !player.shuffle;
        return 0;
    case RM_REPEAT:
        player.repeat = !player.repeat;
        return 0;
    case RM_EJECT:
        player.playing = 0;
        return 0;
    case RM_SETVOLUME:
        player.volume = (int)wParam < 0 ? 0 : (int)wParam > kMaxVolume ? kMaxVolume : (int)wParam;
        return 0;
    case RM_SEEK:
        player.position = (int)wParam < 0 ? 0 : (int)wParam > t->seconds ? t->seconds : (int)wParam;
        return 0;
    case RM_RATE0:
    case RM_RATE1:
    case RM_RATE2:
    case RM_RATE3:
    case RM_RATE4:
    case RM_RATE5:
        player.rating[player.current] = (int)(message - RM_RATE0);
        return 0;
    case RM_STATE_PLAYPAUSE:
        return player.playing;
    case RM_STATE_SHUFFLE:
        return player.shuffle;
    case RM_STATE_REPEAT:
        return player.repeat;
    case RM_STATE_MUTE:
        return player.muted;
    case RM_STATE_RATING1:
    case RM_STATE_RATING2:
    case RM_STATE_RATING3:
    case RM_STATE_RATING4:
    case RM_STATE_RATING5: /* the n-star mark is on for a rating of n or more */
        return player.rating[player.current] >= (int)(message - RM_STATE_RATING1) + 1;
    case RM_TEXT_TITLE:
        trackLine(player.current, text, 256);
        return reply(window, text);
    case RM_TEXT_ALBUM:
        return reply(window, t->album);
    case RM_TEXT_ARTIST:
        return reply(window, t->artist);
    case RM_TEXT_TRACKNAME:
        return reply(window, t->title);
    case RM_TEXT_GENRE:
        return reply(window, L"Example");
    case RM_TEXT_YEAR:
        return reply(window, L"2026");
    case RM_TEXT_TRACKNUM:
        swprintf(text, 256, L"%d", player.current + 1);
        return reply(window, text);
    case RM_TEXT_TIPCAPTION:
        trackLine(player.current, text, 256);
        return reply(window, text);
    case RM_TEXT_TRACKLEN:
        swprintf(text, 256, L"%d:%02d", t->seconds / 60, t->seconds % 60);
        return reply(window, text);
    case RM_GET_MAXVOLUME:
        return kMaxVolume;
    case RM_GET_TRACKLENGTH:
        return t->seconds;
    case RM_GET_VOLUME:
        return player.volume;
    case RM_GET_POSITION:
        return player.position;
    case RM_IS_SUPPORTED:
        return handles((UINT)wParam);
    case RM_GET_RATING:
        return player.rating[player.current];
    case RM_PLAYLIST_ITEMTEXT: /* always sets the title, to the empty text too: never a stale one */
        text[0] = L'\0';
        if (wParam < kTrackCount)
            trackLine((int)wParam, text, 256);
        SetWindowTextW(window, text);
        return wParam < kTrackCount;
    case RM_PLAYLIST_COUNT:
        return kTrackCount;
    case RM_PLAYLIST_CURRENT:
        return player.current;
    case RM_PLAYLIST_PLAY:
        if (wParam < kTrackCount)
            play((int)wParam);
        return 0;
    default:
        return 0; /* 1328, 1332 and anything else: 0 */
    }
}

static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER && message < WM_APP)
        return answer(window, message, wParam);
    if (message == WM_TIMER) { /* a second has passed */
        if (player.playing && ++player.position >= tracks[player.current].seconds) {
            if (player.current + 1 < kTrackCount || player.repeat)
                play(player.current + 1);
            else
                player.playing = 0, player.position = 0;
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR arguments, int show) {
    WNDCLASSW windowClass = {0};
    HWND window;
    MSG msg;
    (void)previous, (void)arguments, (void)show;
    if (FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, NULL) != NULL)
        return 1; /* another player answers already; hosts would talk to either */
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = PLAYER_REMOTE_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    /* Hidden: a window that is never shown. Its title is the reply channel. */
    window = CreateWindowExW(0, PLAYER_REMOTE_WINDOW_CLASS, L"minimal-player", WS_POPUP, 0, 0, 0, 0, NULL,
                             NULL, instance, NULL);
    if (window == NULL)
        return 1;
    SetTimer(window, 1, 1000, NULL);
    while (GetMessageW(&msg, NULL, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
