/* PlayerPlugin.h: player.dll as a host application sees it, and all a host author
 * needs to know. C89 and later, C++98 and later.
 *
 * LOADING. Load player.dll with LoadLibraryW (x86/player.dll into a 32-bit process,
 * x64/player.dll into a 64-bit one) and resolve the sixteen exports (PLAYER_EXPORTS)
 * by their plain names with GetProcAddress; the types below are their signatures,
 * all stdcall (WINAPI). GetProcAddress returns a FARPROC; cast it through a plain
 * function pointer, which no compiler warns about:
 *     InitPlayerFn InitPlayer = (InitPlayerFn)(void (*)(void))GetProcAddress(dll, "InitPlayer");
 * Every string is NUL-terminated UTF-16; capacities count characters, terminator
 * included. The records have the same layout in 32- and 64-bit processes, pinned
 * below.
 *
 * WHAT MAY RUN AT ONCE. Call one instance from one thread at a time. Different
 * instances may be called from different threads at the same time, and several host
 * processes may use the plug-in side by side: each reads its own text replies, since
 * every instance in the user's session takes turns at the player's one window title
 * (PlayerRemote.h). Normal, elevated and low-integrity hosts sharing one player read
 * their own replies too: whichever made the turn first made it open to all of them,
 * none takes another's turn while that one's thread exists, and a turn left by a
 * thread another cannot look into is taken over only once Windows has removed it.
 *
 * THE PLAYER. The plug-in plays nothing: it remote-controls a player through the
 * player's hidden window of class "VRX_MEDIA_REMOTE" (see PlayerRemote.h), found
 * afresh at every call. "play" and "playpause" start the player from the path given
 * to InitPlayer when its window is absent, at most once in 6 seconds per instance.
 * The shell (ShellExecuteW) starts it: a relative path is resolved against the
 * host's current folder at the time of the start. sendCmd reports nothing, so a host
 * learns that a start failed only from the calls that follow (getProp kind
 * PLAYER_PROP_RUNNING stays 0).
 *
 * ASKING. The plug-in needs nothing of the calling thread between calls: no message
 * loop and no message taken (nothing of it is called back later), so a console host
 * without a message loop gets the same answers and promises. Ask what you show at the
 * pace a person sees it: the position up to four times a second, states, texts and the
 * track's length once a second, what the player offers when it appears and every few
 * seconds (player-panel so sends about 22 messages a second). A prompt player answers a
 * call in about 0.1 ms under Wine; against a slow one, every call more spends more of
 * the 0.8 s the plug-in waits at a stretch (below), so that a host asking more often
 * loses answers sooner.
 *
 * ONE SECOND PER CALL. No call holds the host more than about one second, whatever
 * the player does: the messages of one call share a budget of 1000 ms that starts
 * when the call finds the player's window, each waits only for what is left of it
 * (and of what the player may keep it waiting, below), and a player that does not answer in time
 * counts as absent for the rest of the call. A state, text or number it did not
 * answer is reported as for an absent player, never as the answer 0; in the context
 * menu, a mark it did not answer is shown unmarked, and without an answer on ratings
 * there is no "Rate".
 *
 * 0.8 S A REFRESH, WHATEVER THE PLAYER'S PACE. The plug-in keeps, for each
 * player window and nothing else, how long its calls waited on it lately. An answer
 * within 20 ms costs nothing (as GetTickCount64 measures it: Wine's tick is 1 ms,
 * Windows' 10 to 16 ms, so that there an answer of 17 ms may measure 31); a longer wait
 * (for an answer, or for the title's turn) counts in full. Counted waits follow each
 * other in a stretch until none was made for 0.15 s; the waits of one stretch may add
 * up to 0.8 s, and once they have, the calls that follow ask the player nothing until
 * the stretch is over. A wait is begun only while what is left of the 0.8 s holds the
 * stretch's longest wait so far, and twice that beyond as many waits as the player's
 * stretch before had: at a steady pace every stretch then makes the same waits, not
 * one more now and then. A wait that ends without an answer makes the player silent,
 * unless the end of its own call's second cut it short: a silent player is asked
 * nothing until no wait was made on it for 0.15 s, then 0.3, 0.6, 1.2 and at most 2 s
 * after each further unanswered wait; then one call asks it, waiting at most 0.2 s,
 * and an answer ends the silence.
 *
 * So, whatever a host's rate, the plug-in holds it on one player at most 0.8 s at a
 * stretch and 0.85 s in any second (its threads' waits added up), besides answers
 * within 20 ms. A host refreshing once a second with a burst of calls is answered in
 * full while the refresh's slow answers add up to 0.8 s or less: a refresh of 13
 * messages (the model host of docs/hosts.md) while the player answers each within
 * about 60 ms, one of 16 within about 48 ms (measured in docs/hosts.md). A slower
 * player loses the answers that would come after 0.8 s of waiting, the same ones at
 * every refresh: the last ones (a player of 0.3 s an answer is answered twice a
 * refresh, one of 0.6 s once). A player that stops answering, or takes longer than
 * what is left of the 0.8 s, is answered for the first 0.8 s and then not at all: its
 * first refresh holds the host about 0.8 s, each later one at most 0.2 s (the one
 * question, and nothing when none is due), until it answers that question, which comes
 * at least every 2 s. A pause (a player busy for a second or two) costs the refreshes
 * it falls in: the next one is answered in full. A player that quits is absent at the
 * next call, and a new player window owes nothing.
 *
 * While it is silent every call answers at once as for an absent player: getState and
 * getText as documented for that case, getProp 0 for every name and kind
 * (PLAYER_PROP_RUNNING, and "needsave", which stays raised), queryMenu NULL,
 * queryCtxMenu the 4 items of a running player without marks; what asks the player
 * nothing answers so until a call that asks finds it answering again. Commands are
 * posted, and the player carries them out when it recovers; only "volumeup" and
 * "volumedown", which need the player's answers, do nothing. A silent player receives
 * from a host process the commands and one message at each question; on Windows also
 * the messages it left unanswered, which stay in its queue (Wine withdraws a send the
 * player had not taken yet). Windows refuses a send at once, queuing nothing, to a
 * window it counts as hung (one that took no message for 5 s): a player hung for a
 * minute so receives the message it hung on and the questions of its first 5 s, 4 at a
 * refresh a second. Every thread of a host sees the silence and the recovery alike.
 *
 * The limits of those promises:
 *  - Starting the player runs ShellExecuteW on the calling thread (the library
 *    starts no threads): it returns once the process is created, some tens of ms for a
 *    local file, but a path on an unreachable network share takes what the shell
 *    takes.
 *  - A player window owned by the calling thread is called directly, as Windows
 *    does for any window of the caller's own thread: no time-out is possible, and
 *    a host that is its own player is as fast as its window procedure. A text
 *    request that such a player's window procedure makes while it answers one gets
 *    no text: it could only read the other's reply.
 *  - The host's own windows. While a call waits, Windows runs the host's window
 *    procedures for messages that other threads and programs send to its windows:
 *    during every send but a text request's, and while a text request waits for the
 *    title's turn. The time the host spends in them is its own and counts toward no
 *    promise; during a send, which cannot tell it from waiting, it counts as the
 *    player's wait (at most what the send could wait), so a host long in its handlers
 *    may spend the 0.8 s of a stretch, or find the player silent for a while; while
 *    waiting for the turn it does not count. A handler that calls the plug-in again
 *    makes a call of its own, with its own budget and its own replies. During a text
 *    request's send (getText, and each playlist entry of queryMenu) no message of the
 *    host runs, so that nothing the host does can hold the title's turn: a player
 *    that sends a message to the host while it handles such a request waits until
 *    the plug-in gives up on it, at most the call's budget.
 *  - The title's turn. Another program between a text request and the reading of its
 *    reply holds every text of every host: another instance of the plug-in for one
 *    send, at most 0.8 s; a program that does not keep the rules of PlayerRemote.h
 *    for as long as it likes. The plug-in waits for the turn as it waits for the
 *    player, counted as a wait on the player's window: a turn held too long makes the
 *    player silent to the plug-in's hosts until it is given back. A turn whose holder has
 *    ended is taken over. A program that takes the turn's name first with an object of
 *    another kind leaves the plug-in a turn of its host process only: its threads,
 *    and requests nested in its window procedures, read their own replies, but
 *    another program's texts may cross its own.
 *  - queryMenu hands back at most PLAYER_PLAYLIST_MAX_ENTRIES records, so that
 *    making the array fits the budget too; a longer playlist is cut there, so an
 *    array of exactly that many entries may stand for a longer list.
 *  - Unloading. No late answer comes back into the plug-in (Windows drops a reply that
 *    comes after the wait), and the library starts nothing that outlives a call:
 *    FreeLibrary unloads it at once, at any time between calls.
 *
 * OWNERSHIP. InitPlayer's instance is the host's until DestroyPlayer; a queryMenu
 * array is the host's until it gives it back with freeMenu. Records and buffers that
 * the host passes in stay the host's. */
#ifndef PLAYER_PLUGIN_H
#define PLAYER_PLUGIN_H

#include <windows.h>
#include <stddef.h>

/* Layouts are checked when the header compiles: with the language's own assertion
 * where there is one, else (C89, C++98, MSVC's C without /std:c11) with an array
 * whose size is negative when the check fails. Undefined again at the end. */
#if defined(__cplusplus) && (__cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L))
#define PLAYER_CHECK(condition, line) static_assert(condition, #condition)
#elif !defined(__cplusplus) && defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define PLAYER_CHECK(condition, line) _Static_assert(condition, #condition)
#else
#define PLAYER_CHECK_NAME(line) player_check_line_##line
#define PLAYER_CHECK_AT(condition, line) typedef char PLAYER_CHECK_NAME(line)[(condition) ? 1 : -1]
#define PLAYER_CHECK(condition, line) PLAYER_CHECK_AT(condition, line)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The plug-in's instance: opaque to the host. */
typedef struct PlayerInstance PlayerInstance;

/* One named display setting (getPlayerParams / setPlayerParams). The host saves the
 * six it reads out and gives them back to a later instance. */
typedef struct PlayerParam {
    WCHAR name[50];  /* key, NUL-terminated within the 50 units */
    BYTE reserved;   /* written as 0, never read */
    BYTE padding[3]; /* never written or read by the plug-in */
    INT32 value;     /* copied bit for bit both ways, never checked */
} PlayerParam;
PLAYER_CHECK(sizeof(PlayerParam) == 108, __LINE__);
PLAYER_CHECK(offsetof(PlayerParam, reserved) == 100, __LINE__);
PLAYER_CHECK(offsetof(PlayerParam, value) == 104, __LINE__);

/* One hotkey catalogue entry (getHotkeyCommands); units after each NUL are 0. The
 * command is a name that sendCmd carries out. */
typedef struct HotkeyCommand {
    WCHAR command[100];
    WCHAR description[255];
} HotkeyCommand;
PLAYER_CHECK(sizeof(HotkeyCommand) == 710, __LINE__);
PLAYER_CHECK(offsetof(HotkeyCommand, description) == 200, __LINE__);

/* One playlist entry (queryMenu); an all-zero record ends the array. */
typedef struct PlaylistMenuItem {
    WCHAR text[256];  /* at most 254 characters, NUL, then zeros; empty if it came too late */
    INT32 flags;      /* PLAYER_PLAYLIST_FLAG_ENTRY or _CURRENT; 0 in the end record */
    UINT32 reserved1; /* 0 */
    INT32 id;         /* playlist index + 1, for invokeMenu; 0 in the end record */
    UINT32 reserved2; /* 0 */
    UINT32 reserved3; /* 0 */
} PlaylistMenuItem;
PLAYER_CHECK(sizeof(PlaylistMenuItem) == 532, __LINE__);
PLAYER_CHECK(offsetof(PlaylistMenuItem, flags) == 512, __LINE__);
PLAYER_CHECK(offsetof(PlaylistMenuItem, reserved1) == 516, __LINE__);
PLAYER_CHECK(offsetof(PlaylistMenuItem, id) == 520, __LINE__);
PLAYER_CHECK(offsetof(PlaylistMenuItem, reserved2) == 524, __LINE__);
PLAYER_CHECK(offsetof(PlaylistMenuItem, reserved3) == 528, __LINE__);

#define PLAYER_PLAYLIST_FLAG_ENTRY 2
#define PLAYER_PLAYLIST_FLAG_CURRENT 3
/* The one list name of queryMenu, invokeMenu and freeMenu. */
#define PLAYER_PLAYLIST_NAME L"*playlist"
/* The most records queryMenu hands back (not counting the end record): the first
 * entries of a longer playlist, with their own ids. */
#define PLAYER_PLAYLIST_MAX_ENTRIES 65536
/* What getPlayerParams and getHotkeyCommands return, and the records they fill. */
#define PLAYER_PARAM_COUNT 6
#define PLAYER_HOTKEY_COUNT 11
/* getState's answers ("play", "pause", "on", "off") fit in this many characters. */
#define PLAYER_STATE_CAPACITY 6

/* The sixteen exports, X(ordinal, identifier, name for GetProcAddress); the type of
 * each is its identifier followed by Fn (InitPlayerFn). In ordinal order. */
#define PLAYER_EXPORTS(X)                                                                                    \
    X(1, DestroyPlayer, "DestroyPlayer")                                                                     \
    X(2, GetEXE, "GetEXE")                                                                                   \
    X(3, GetPlayerName, "GetPlayerName")                                                                     \
    X(4, InitPlayer, "InitPlayer")                                                                           \
    X(5, freeMenu, "freeMenu")                                                                               \
    X(6, getHotkeyCommands, "getHotkeyCommands")                                                             \
    X(7, getPlayerParams, "getPlayerParams")                                                                 \
    X(8, getProp, "getProp")                                                                                 \
    X(9, getState, "getState")                                                                               \
    X(10, getText, "getText")                                                                                \
    X(11, invokeCtxMenu, "invokeCtxMenu")                                                                    \
    X(12, invokeMenu, "invokeMenu")                                                                          \
    X(13, queryCtxMenu, "queryCtxMenu")                                                                      \
    X(14, queryMenu, "queryMenu")                                                                            \
    X(15, sendCmd, "sendCmd")                                                                                \
    X(16, setPlayerParams, "setPlayerParams")

/* The display settings that getPlayerParams reads out and setPlayerParams restores,
 * X(key, what its value means), in the order getPlayerParams fills them. Keys compare
 * without case; values pass bit for bit both ways and are never checked. */
#define PLAYER_SETTINGS(X)                                                                                   \
    X(L"scrollAlbum",                                                                                        \
      L"nonzero: the album text scrolls (getProp \"album\" 1); sendCmd \"album\" toggles it")                \
    X(L"scrollArtist", L"nonzero: the artist text scrolls; sendCmd \"artist\" toggles it")                   \
    X(L"scrollTitle", L"nonzero: the title text scrolls; sendCmd \"title\" toggles it")                      \
    X(L"scrollTrackName", L"nonzero: the track-name text scrolls; sendCmd \"trackname\" toggles it")         \
    X(L"trackTime", L"nonzero: getText \"tracktime\" shows the time remaining; 0: the time played; "         \
                    L"sendCmd \"tracktime\" 0 toggles it")                                                   \
    X(L"volume",                                                                                             \
      L"a volume kept for the host, 255 at first; the plug-in never reads or changes it, and any "           \
      L"32-bit value is kept as given: save and restore it with the others, or ignore it")

/* The getProp name that answers whether a display setting changed. */
#define PLAYER_NEEDSAVE L"needsave"

/* The kinds of getProp. */
#define PLAYER_PROP_SCROLLS 1
#define PLAYER_PROP_UNSUPPORTED 2
#define PLAYER_PROP_UPPER 3
#define PLAYER_PROP_LOWER 4
#define PLAYER_PROP_VALUE 5
#define PLAYER_PROP_RUNNING 6

/* The names the exports take, as lists for hosts to walk: each entry is
 * X(name, what it does). Names compare without case. The library checks its own
 * tables against these lists when it is built, so the two cannot differ. */

/* sendCmd(instance, name, value): carries out a command; no result. Most are posted
 * to the player with value as their parameter and need it running; "play" and
 * "playpause" start it when it is not; the display settings work without it. */
#define PLAYER_COMMANDS(X)                                                                                   \
    X(L"playpause", L"play or pause; starts the player when it is not running")                              \
    X(L"play", L"play; starts the player when it is not running")                                            \
    X(L"pause", L"pause")                                                                                    \
    X(L"stop", L"stop")                                                                                      \
    X(L"next", L"next track")                                                                                \
    X(L"prev", L"previous: back to the start of the track, or to the one before within its first "           \
               L"seconds (as most players do)")                                                              \
    X(L"mute", L"mute or unmute")                                                                            \
    X(L"quit", L"close the player")                                                                          \
    X(L"shuffle", L"shuffle on or off")                                                                      \
    X(L"repeat", L"repeat on or off")                                                                        \
    X(L"eject", L"eject")                                                                                    \
    X(L"volume", L"set the volume to value, in the player's units (getProp \"volume\" 3 is the maximum)")    \
    X(L"rating0", L"rate the track unrated")                                                                 \
    X(L"rating1", L"rate the track 1 star")                                                                  \
    X(L"rating2", L"rate the track 2 stars")                                                                 \
    X(L"rating3", L"rate the track 3 stars")                                                                 \
    X(L"rating4", L"rate the track 4 stars")                                                                 \
    X(L"rating5", L"rate the track 5 stars")                                                                 \
    X(L"title", L"toggle title scrolling (a display setting: save it)")                                      \
    X(L"album", L"toggle album scrolling (a display setting: save it)")                                      \
    X(L"artist", L"toggle artist scrolling (a display setting: save it)")                                    \
    X(L"trackname", L"toggle track-name scrolling (a display setting: save it)")                             \
    X(L"tracktime", L"value 0 toggles elapsed/remaining time (a display setting: save it); value N seeks "   \
                    L"to second N - 1, so 61 seeks to 1:00")                                                 \
    X(L"volumeup", L"volume up by a tenth of the player's maximum, asked of the player with the volume: "    \
                   L"nothing while it is silent")                                                            \
    X(L"volumedown", L"volume down by a tenth of the player's maximum, asked of the player with the "        \
                     L"volume: nothing while it is silent")

/* getState(instance, name, out): writes "play"/"pause" or "on"/"off" into out (room
 * for PLAYER_STATE_CAPACITY characters); leaves out as it was when the player is
 * absent, does not answer, or the name is none of these. There is no "rating0". */
#define PLAYER_STATES(X)                                                                                     \
    X(L"playpause", L"\"play\" while playing, \"pause\" otherwise")                                          \
    X(L"shuffle", L"\"on\" while shuffle is on")                                                             \
    X(L"repeat", L"\"on\" while repeat is on")                                                               \
    X(L"mute", L"\"on\" while muted")                                                                        \
    X(L"rating1", L"\"on\" while the rating is 1 or more: star 1 lit")                                       \
    X(L"rating2", L"\"on\" while the rating is 2 or more: star 2 lit")                                       \
    X(L"rating3", L"\"on\" while the rating is 3 or more: star 3 lit")                                       \
    X(L"rating4", L"\"on\" while the rating is 4 or more: star 4 lit")                                       \
    X(L"rating5", L"\"on\" while the rating is 5 or more: star 5 lit")

/* getText(instance, name, out, size): copies the player's text into out, cut to
 * size - 1 characters; an empty string when the player has none. With the player
 * absent or silent out is left as it was, except "tracktime" ("--:--") and
 * "tipcaption" ("Velmora player"). Every text it writes, "--:--", the formatted time
 * and "Velmora player" included, is cut to size - 1 characters and a NUL; a size of 0
 * or less writes nothing. A text as long as size - 1 may have been cut: ask again with
 * more room (the plug-in sets no length of its own; a text is what the player set its
 * window title to). To tell whether anything was written, fill out first with what no
 * text begins with (0xFFFF). The two stand-ins come only while the player is absent or
 * not asked: getProp PLAYER_PROP_RUNNING read right after the call is then 0. */
#define PLAYER_TEXTS(X)                                                                                      \
    X(L"title", L"the title line (\"Artist - Title\" in most players)")                                      \
    X(L"album", L"the album")                                                                                \
    X(L"artist", L"the artist")                                                                              \
    X(L"trackname", L"the track's name")                                                                     \
    X(L"genre", L"the genre")                                                                                \
    X(L"year", L"the year")                                                                                  \
    X(L"tracknum", L"the track number")                                                                      \
    X(L"tipcaption", L"the tooltip caption")                                                                 \
    X(L"tracklen", L"the track's length as the player writes it")                                            \
    X(L"tracktime", L"remaining or elapsed time as m:ss (minutes not capped), or --:-- (sendCmd "            \
                    L"\"tracktime\" 0 switches)")

/* getProp(instance, name, kind): a number. While the player is absent or silent:
 * 0 for every name and kind, PLAYER_NEEDSAVE included, and nothing is asked or
 * changed. Otherwise PLAYER_NEEDSAVE, with any kind, answers 1 once after a display
 * setting changed (then 0; getPlayerParams and setPlayerParams clear it too): read the
 * settings with getPlayerParams and save them. A name the kind does not answer, or a
 * kind not listed, gives 0. Kinds 1, 4 and 6 answer from what the plug-in knows,
 * without asking the player; 2, 3 and 5 ask it, and give 0 when it does not answer.
 * X(kind, names it answers, what it returns). */
#define PLAYER_PROPERTY_KINDS(X)                                                                             \
    X(PLAYER_PROP_SCROLLS, L"title album artist trackname",                                                  \
      L"nonzero when that text scrolls (a display "                                                          \
      L"setting)")                                                                                           \
    X(PLAYER_PROP_UNSUPPORTED, L"see PLAYER_CONTROLS",                                                       \
      L"1 when the player does not offer the control, 0 "                                                    \
      L"when it does")                                                                                       \
    X(PLAYER_PROP_UPPER, L"volume tracktime",                                                                \
      L"the upper bound: the maximum volume; the track's length in "                                         \
      L"seconds + 1")                                                                                        \
    X(PLAYER_PROP_LOWER, L"volume tracktime", L"the lower bound: 0 for volume, 1 for tracktime")             \
    X(PLAYER_PROP_VALUE, L"volume tracktime", L"the current value: the volume; the position in seconds + 1") \
    X(PLAYER_PROP_RUNNING, L"any name",                                                                      \
      L"1 while the player's window exists and the plug-in asks it as usual: not silent, and the 0.8 s "     \
      L"of its stretch not spent (this asks nothing: a silence shows once a call met it, its end once a "    \
      L"call that asks found it answering)")

/* The controls getProp kind 2 answers: commands, and the playlist as a whole. A name
 * outside this list answers 0, as an offered control does: ask only these. Ratings are
 * not among them: queryCtxMenu answers 11 when the player offers them, or a host asks
 * the player RM_IS_SUPPORTED for RM_GET_RATING itself (PlayerRemote.h). */
/* clang-format off */
#define PLAYER_CONTROLS(X)                                                                                   \
    X(L"playpause", L"")                                                                                     \
    X(L"play", L"")                                                                                          \
    X(L"pause", L"")                                                                                         \
    X(L"stop", L"")                                                                                          \
    X(L"next", L"")                                                                                          \
    X(L"prev", L"")                                                                                          \
    X(L"mute", L"")                                                                                          \
    X(L"quit", L"")                                                                                          \
    X(L"shuffle", L"")                                                                                       \
    X(L"repeat", L"")                                                                                        \
    X(L"eject", L"")                                                                                         \
    X(L"volume", L"")                                                                                        \
    X(L"tracktime", L"")                                                                                     \
    X(L"*playlist", L"")
/* clang-format on */

/* queryCtxMenu(instance, menu, position, firstId) inserts the plug-in's items into
 * the host's menu at position (a real position, counted from 0 and at most the number
 * of items the menu has; not the append marker, all bits set), item k with the
 * identifier firstId + k, and returns how many items it meant to insert, separator
 * and submenu included: 1 (player absent: item 1), 4 (items 2 to 4 and a separator:
 * a player without ratings, or one that did not answer, whose marks then show
 * unmarked), or 11 (also "Rate" with items 6 to 10 and 5). A 4 does not say which of
 * the two: getProp kind PLAYER_PROP_RUNNING read right after it is 0 when the player
 * fell silent during the call; a host that must know asks the player RM_IS_SUPPORTED
 * for RM_GET_RATING itself (PlayerRemote.h).
 * When the user chooses identifier id, call invokeCtxMenu(instance, id - firstId).
 * X(k, text, what choosing it does). */
#define PLAYER_CONTEXT_ITEMS(X)                                                                              \
    X(1, L"Run default player", L"starts the player (only shown while it is absent)")                        \
    X(2, L"Close player", L"sendCmd \"quit\"")                                                               \
    X(3, L"Repeat", L"sendCmd \"repeat\"; checked while repeat is on")                                       \
    X(4, L"Shuffle", L"sendCmd \"shuffle\"; checked while shuffle is on")                                    \
    X(5, L"Unrated", L"sendCmd \"rating0\"; a radio item in the Rate submenu")                               \
    X(6, L"1 Star", L"sendCmd \"rating1\"")                                                                  \
    X(7, L"2 Stars", L"sendCmd \"rating2\"")                                                                 \
    X(8, L"3 Stars", L"sendCmd \"rating3\"")                                                                 \
    X(9, L"4 Stars", L"sendCmd \"rating4\"")                                                                 \
    X(10, L"5 Stars", L"sendCmd \"rating5\"")

/* getHotkeyCommands(entries) fills PLAYER_HOTKEY_COUNT entries with these, in this
 * order. The texts are kept exactly as they always were, misspellings included
 * ("Play previouse track", "Togle shuffle state", "Togle repeat state"), because
 * hosts store and match them. */
#define PLAYER_HOTKEYS(X)                                                                                    \
    X(L"playpause", L"Play/Pause")                                                                           \
    X(L"play", L"Play")                                                                                      \
    X(L"stop", L"Stop")                                                                                      \
    X(L"next", L"Play Next track")                                                                           \
    X(L"prev", L"Play previouse track")                                                                      \
    X(L"volumeup", L"Volume UP")                                                                             \
    X(L"volumedown", L"Volume DOWN")                                                                         \
    X(L"quit", L"Close")                                                                                     \
    X(L"eject", L"Eject")                                                                                    \
    X(L"shuffle", L"Togle shuffle state")                                                                    \
    X(L"repeat", L"Togle repeat state")

/* The exports, in ordinal order (1 to 16). */

/* Frees the instance. */
typedef void(WINAPI* DestroyPlayerFn)(PlayerInstance* instance);
/* Writes the empty string into buffer (this plug-in names no executable: a host keeps
 * the path it gave InitPlayer) unless capacity is 0; a negative capacity is taken as a
 * large one. Returns buffer. */
typedef WCHAR*(WINAPI* GetEXEFn)(WCHAR* buffer, int capacity);
/* Copies "Velmora Player" like StringCchCopyW: S_OK, 0x8007007A when cut to
 * capacity - 1 characters, 0x80070057 (buffer untouched) for a capacity of 0 or
 * above 0x7FFFFFFF. */
typedef HRESULT(WINAPI* GetPlayerNameFn)(WCHAR* buffer, UINT capacity);
/* A new instance for the player at exePath (kept as a copy; may be empty, and NULL is
 * taken as empty; a relative path is resolved when the player is started), or NULL
 * when memory runs out. Given a NULL instance the other exports do nothing and return
 * 0 or NULL, except getPlayerParams(NULL, NULL), which counts, and freeMenu, which
 * frees all the same. */
typedef PlayerInstance*(WINAPI* InitPlayerFn)(const WCHAR* exePath);
/* Gives back an array from queryMenu (NULL does nothing). */
typedef void(WINAPI* freeMenuFn)(PlayerInstance* instance, const WCHAR* listName, PlaylistMenuItem* items);
/* Fills PLAYER_HOTKEY_COUNT entries (PLAYER_HOTKEYS) unless entries is NULL; returns
 * PLAYER_HOTKEY_COUNT either way, with or without an instance. */
typedef int(WINAPI* getHotkeyCommandsFn)(HotkeyCommand* entries);
/* Fills PLAYER_PARAM_COUNT records with the instance's settings and clears
 * "needsave"; with params NULL returns PLAYER_PARAM_COUNT and does nothing else,
 * whatever the instance (a host sizes its array that way). */
typedef int(WINAPI* getPlayerParamsFn)(PlayerInstance* instance, PlayerParam* params);
/* See PLAYER_PROPERTY_KINDS. */
typedef int(WINAPI* getPropFn)(PlayerInstance* instance, const WCHAR* name, int kind);
/* See PLAYER_STATES. */
typedef void(WINAPI* getStateFn)(PlayerInstance* instance, const WCHAR* name, WCHAR* out);
/* See PLAYER_TEXTS. */
typedef void(WINAPI* getTextFn)(PlayerInstance* instance, const WCHAR* name, WCHAR* out, int size);
/* Carries out context item k (PLAYER_CONTEXT_ITEMS); other numbers do nothing. */
typedef void(WINAPI* invokeCtxMenuFn)(PlayerInstance* instance, int item);
/* Plays the playlist entry with this id (a record's id from queryMenu): posts
 * RM_PLAYLIST_PLAY with id - 1, unchecked, so an id the list does not have goes to the
 * player as it is (the reference player ignores it). Another list name, or no player
 * window, does nothing. */
typedef void(WINAPI* invokeMenuFn)(PlayerInstance* instance, const WCHAR* listName, int item);
/* See PLAYER_CONTEXT_ITEMS. */
typedef int(WINAPI* queryCtxMenuFn)(PlayerInstance* instance, HMENU menu, UINT position, UINT firstId);
/* The playlist (listName PLAYER_PLAYLIST_NAME): every entry with its id and mark,
 * the texts that arrived within the call's second (later ones empty), and an
 * all-zero end record; at most PLAYER_PLAYLIST_MAX_ENTRIES entries, so an array of
 * exactly that many may stand for a longer list. NULL without a player or a playlist,
 * or while the player is silent. Give it back with freeMenu. */
typedef PlaylistMenuItem*(WINAPI* queryMenuFn)(PlayerInstance* instance, const WCHAR* listName);
/* See PLAYER_COMMANDS. Reports nothing: its effect shows in later states. */
typedef void(WINAPI* sendCmdFn)(PlayerInstance* instance, const WCHAR* name, int value);
/* Restores count records (any order, any subset, unknown names skipped, a name
 * without its NUL within 50 units skipped) and clears "needsave". */
typedef void(WINAPI* setPlayerParamsFn)(PlayerInstance* instance, const PlayerParam* params, int count);

#ifdef __cplusplus
} /* extern "C" */
#endif

#undef PLAYER_CHECK
#undef PLAYER_CHECK_AT
#undef PLAYER_CHECK_NAME

#endif /* PLAYER_PLUGIN_H */
