/* PlayerRemote.h: the remote-control protocol between player.dll and a media player,
 * for player authors. C99 and C++.
 *
 * The player creates one hidden top-level window of class PLAYER_REMOTE_WINDOW_CLASS
 * ("VRX_MEDIA_REMOTE") and answers the messages below; the window's title plays no
 * part in finding it. Commands are posted and need no answer. Every other message is
 * sent, and its answer is read as a signed 32-bit number. A text reply (the RM_TEXT_*
 * messages and RM_PLAYLIST_ITEMTEXT) is the player setting its window title to the
 * text before it returns from the message; the plug-in then reads the title. wParam,
 * where it is used, and every answer are 32-bit values, in 32- and 64-bit processes
 * alike; lParam is always 0. 1328 and 1332 are never sent.
 *
 * The plug-in waits at most one second for all the answers of one call together: a
 * player should answer at once and never block while handling these messages. An
 * answer within PLAYER_REMOTE_FREE_MS (20 ms) costs nothing; a longer wait counts in
 * full, and the counted waits of a stretch of calls (one that ends when no wait was
 * made for PLAYER_REMOTE_STRETCH_GAP_MS, 0.15 s) may add up to PLAYER_REMOTE_STRETCH_MS
 * (0.8 s): what a host asks after that, the player is not asked until the stretch is
 * over. A wait is begun only while what is left holds the stretch's longest wait so
 * far, and twice that beyond as many waits as the stretch before had. So a host
 * refreshing 13 messages a second has every answer while each takes about 60 ms or
 * less, one of 16 about 48 ms, and a slower player loses the last answers of every
 * refresh, the same ones each time. A wait that ends without an answer makes the
 * player silent to that host process: it is asked nothing for 0.15 s, then 0.3, 0.6,
 * 1.2 and at most 2 s after each further unanswered wait; then one message, waited for
 * at most PLAYER_REMOTE_TRIAL_MS (0.2 s), decides. A silent player receives from each host
 * process the commands, which are posted, and that one message; on Windows also what it
 * left unanswered, which stays in its queue (Wine withdraws a send the player had not
 * taken yet), and nothing once Windows counts it hung (no message taken for 5 s): a send
 * to a hung window is refused at once. player-host probe says what hosts of 13 and 16
 * messages a second get from a player.
 *
 * The title is one channel for every program that asks the player for texts. The
 * plug-in makes each text request and the reading of its reply one step by taking the
 * title's turn (below) around both; any other program that sends text requests should
 * take it too, so that no reply is read by the wrong program. A player needs to do
 * nothing about it.
 *
 * The five star indicators follow the rating, as a host drawing five stars needs them:
 * RM_STATE_RATINGn answers nonzero exactly while RM_GET_RATING answers n or more, so
 * that a rating of 4 lights the first four and leaves the fifth. player-host probe
 * names an indicator that does not.
 *
 * PLAYER_REMOTE_MESSAGES is the one list of the protocol: X(name, offset from WM_USER,
 * meaning) for every message, in number order. The enumeration below and the names
 * that tools print are both made from it. */
#ifndef PLAYER_REMOTE_H
#define PLAYER_REMOTE_H

#include <windows.h>
#include <sddl.h>
#include <stddef.h>

#define PLAYER_REMOTE_WINDOW_CLASS L"VRX_MEDIA_REMOTE"
/* The pace the plug-in allows a player, in milliseconds (above). */
#define PLAYER_REMOTE_FREE_MS 20
#define PLAYER_REMOTE_STRETCH_MS 800
#define PLAYER_REMOTE_STRETCH_GAP_MS 150
#define PLAYER_REMOTE_TRIAL_MS 200
#define PLAYER_REMOTE_QUIET_MOST_MS 2000
/* The title's turn: one 64-bit word at offset 0 of the named shared memory
 * PLAYER_REMOTE_REPLY_LOCK (8 bytes, in the user's session), the same in 32- and 64-bit
 * programs: 0 while no program is between a text request and the reading of its reply,
 * else (process id << 32 | thread id) of the one that is. A program takes the turn by
 * changing the word from 0 to its own value with one interlocked compare-exchange, and
 * gives it back the same way. Taking and giving it cost no call into the system, which a
 * text request of a millisecond cannot afford. The helpers below do all of it.
 *
 * Whichever program makes the shared memory first makes it with
 * PLAYER_REMOTE_REPLY_LOCK_ACCESS: every program of the session may open it, normal,
 * elevated and low-integrity (sandboxed) ones alike (the name lives in the session's
 * own namespace, Local\). A program that cannot open it (the name held by an object of
 * another kind) keeps only its own threads apart; the plug-in then takes the turn in a
 * word of its own process, so that a host's threads read their own replies, and only
 * other programs' texts may cross its own.
 *
 * While it holds the turn, a program sends one text request and reads the title, and
 * nothing else: it bounds the send (SendMessageTimeoutW, a second at most) and takes no
 * messages meanwhile (SMTO_BLOCK, no message loop, no other send), since every other
 * program's texts wait for it; then it gives the turn back at once. The plug-in holds
 * it for 0.8 s at most, and a request that times out is given up: its late reply, if
 * any, comes before the next program's request, which the player takes after it.
 *
 * A program that finds the turn held waits, within its own time limit, in a loop around
 * PlayerRemoteTryTakeTurn, calling PlayerRemoteTakeOverTurn now and then: that takes
 * the turn over only from a holder whose thread has ended (PlayerRemoteHolderEnded).
 * A turn held longer than its limit leaves it without the text; the plug-in counts
 * that wait as time waited on the player. */
#define PLAYER_REMOTE_REPLY_LOCK L"Local\\VRX_MEDIA_REMOTE.reply"
/* Everyone may map it (GA for WD and for app containers, AC), at low integrity (ML LW):
 * an SDDL string, for ConvertStringSecurityDescriptorToSecurityDescriptorW. */
#define PLAYER_REMOTE_REPLY_LOCK_ACCESS L"D:(A;;GA;;;WD)(A;;GA;;;AC)S:(ML;;NW;;;LW)"

/* The shared memory's layout, pinned for 32- and 64-bit programs alike. */
typedef struct PlayerRemoteTurnWord {
    volatile LONG64 holder;
} PlayerRemoteTurnWord;
#if defined(__cplusplus) && (__cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L))
static_assert(sizeof(PlayerRemoteTurnWord) == 8 && offsetof(PlayerRemoteTurnWord, holder) == 0,
              "the turn is one 8-byte word at offset 0");
#else
typedef char PlayerRemoteTurnWordIsOneWord
    [(sizeof(PlayerRemoteTurnWord) == 8 && offsetof(PlayerRemoteTurnWord, holder) == 0) ? 1 : -1];
#endif

typedef struct PlayerRemoteTurn {
    HANDLE mapping;        /* the shared memory, or NULL */
    volatile LONG64* word; /* its one word, or NULL */
} PlayerRemoteTurn;

/* Opens the shared word, making it if it is not there yet; FALSE when it cannot be had
 * (turn->word is then NULL, and every turn is free). */
static inline BOOL PlayerRemoteOpenTurn(PlayerRemoteTurn* turn) {
    SECURITY_ATTRIBUTES attributes;
    PSECURITY_DESCRIPTOR access = NULL;
    attributes.nLength = sizeof(attributes);
    attributes.bInheritHandle = FALSE;
    attributes.lpSecurityDescriptor = ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                          PLAYER_REMOTE_REPLY_LOCK_ACCESS, SDDL_REVISION_1, &access, NULL)
                                          ? access
                                          : NULL;
    turn->word = NULL;
    turn->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                       sizeof(PlayerRemoteTurnWord), PLAYER_REMOTE_REPLY_LOCK);
    if (access != NULL)
        LocalFree(access);
    if (turn->mapping == NULL)
        return FALSE;
    turn->word = (volatile LONG64*)MapViewOfFile(turn->mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0,
                                                 sizeof(PlayerRemoteTurnWord));
    if (turn->word == NULL) {
        CloseHandle(turn->mapping);
        turn->mapping = NULL;
        return FALSE;
    }
    return TRUE;
}

static inline void PlayerRemoteCloseTurn(PlayerRemoteTurn* turn) {
    if (turn->word != NULL)
        UnmapViewOfFile((const void*)turn->word);
    if (turn->mapping != NULL)
        CloseHandle(turn->mapping);
    turn->word = NULL;
    turn->mapping = NULL;
}

/* This thread's value in the word. */
static inline LONG64 PlayerRemoteTurnOwner(void) {
    return (LONG64)(((ULONG64)GetCurrentProcessId() << 32) | GetCurrentThreadId());
}

/* Whether the thread whose value `holder` is has ended, leaving its turn behind. Only a
 * thread that no longer exists (or whose id another process now has) has ended: one
 * that cannot be opened for want of access (an elevated program's, seen from a normal
 * one) runs. */
static inline BOOL PlayerRemoteHolderEnded(LONG64 holder) {
    HANDLE thread =
        OpenThread(SYNCHRONIZE | 0x0800 /* THREAD_QUERY_LIMITED_INFORMATION */, FALSE, (DWORD)holder);
    BOOL ended;
    if (thread == NULL)
        return GetLastError() == ERROR_INVALID_PARAMETER; /* no thread of that id */
    ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
#if _WIN32_WINNT >= 0x0600
    ended = ended || GetProcessIdOfThread(thread) != (DWORD)((ULONG64)holder >> 32);
#endif
    CloseHandle(thread);
    return ended;
}

/* Takes the turn if it is free, or finds it holding this thread's value already
 * (*again is then TRUE: left by this thread, or by a thread of the same id that ended):
 * 0. Otherwise the holder's value, for PlayerRemoteTakeOverTurn now and then while
 * waiting. */
static inline LONG64 PlayerRemoteTryTakeTurn(PlayerRemoteTurn* turn, BOOL* again) {
    const LONG64 mine = PlayerRemoteTurnOwner();
    LONG64 holder;
    *again = FALSE;
    if (turn->word == NULL)
        return 0;
    holder = InterlockedCompareExchange64(turn->word, mine, 0);
    if (holder == mine)
        *again = TRUE;
    return holder == mine ? 0 : holder;
}

/* Takes over the turn that `holder` left when its thread ended; FALSE while it runs. */
static inline BOOL PlayerRemoteTakeOverTurn(PlayerRemoteTurn* turn, LONG64 holder) {
    return turn->word != NULL && PlayerRemoteHolderEnded(holder) &&
           InterlockedCompareExchange64(turn->word, PlayerRemoteTurnOwner(), holder) == holder;
}

static inline void PlayerRemoteGiveTurn(PlayerRemoteTurn* turn) {
    if (turn->word != NULL)
        InterlockedCompareExchange64(turn->word, 0, PlayerRemoteTurnOwner());
}

#define PLAYER_REMOTE_MESSAGES(X)                                                                            \
    X(RM_PLAYPAUSE, 101, "posted: toggle play and pause")                                                    \
    X(RM_PLAY, 102, "posted: play")                                                                          \
    X(RM_PAUSE, 103, "posted: pause")                                                                        \
    X(RM_STOP, 104, "posted: stop")                                                                          \
    X(RM_NEXT, 105, "posted: next track")                                                                    \
    X(RM_PREV, 106, "posted: previous track")                                                                \
    X(RM_MUTE, 107, "posted: toggle mute")                                                                   \
    X(RM_QUIT, 108, "posted: close the player")                                                              \
    X(RM_SHUFFLE, 109, "posted: toggle shuffle")                                                             \
    X(RM_REPEAT, 110, "posted: toggle repeat")                                                               \
    X(RM_EJECT, 111, "posted: eject")                                                                        \
    X(RM_SETVOLUME, 112, "posted: set the volume to wParam, in the units of RM_GET_VOLUME")                  \
    X(RM_SEEK, 113,                                                                                          \
      "posted: move to second wParam of the track; playing, play on from there; paused or "                  \
      "stopped, stay paused at that second")                                                                 \
    X(RM_RATE0, 114, "posted: rate the track unrated")                                                       \
    X(RM_RATE1, 115, "posted: rate the track 1 star")                                                        \
    X(RM_RATE2, 116, "posted: rate the track 2 stars")                                                       \
    X(RM_RATE3, 117, "posted: rate the track 3 stars")                                                       \
    X(RM_RATE4, 118, "posted: rate the track 4 stars")                                                       \
    X(RM_RATE5, 119, "posted: rate the track 5 stars")                                                       \
    X(RM_STATE_PLAYPAUSE, 200, "sent: nonzero while playing, 0 while paused or stopped")                     \
    X(RM_STATE_SHUFFLE, 201, "sent: nonzero while shuffle is on")                                            \
    X(RM_STATE_REPEAT, 202, "sent: nonzero while repeat is on")                                              \
    X(RM_STATE_MUTE, 203, "sent: nonzero while muted")                                                       \
    X(RM_STATE_RATING1, 204, "sent: nonzero while the rating is 1 or more (star 1 lit)")                     \
    X(RM_STATE_RATING2, 205, "sent: nonzero while the rating is 2 or more (star 2 lit)")                     \
    X(RM_STATE_RATING3, 206, "sent: nonzero while the rating is 3 or more (star 3 lit)")                     \
    X(RM_STATE_RATING4, 207, "sent: nonzero while the rating is 4 or more (star 4 lit)")                     \
    X(RM_STATE_RATING5, 208, "sent: nonzero while the rating is 5 or more (star 5 lit)")                     \
    X(RM_TEXT_TITLE, 300, "sent: the title line in the window title and nonzero, or 0 for none")             \
    X(RM_TEXT_ALBUM, 301, "sent: the album in the window title and nonzero, or 0 for none")                  \
    X(RM_TEXT_ARTIST, 302, "sent: the artist in the window title and nonzero, or 0 for none")                \
    X(RM_TEXT_TRACKNAME, 303, "sent: the track name in the window title and nonzero, or 0 for none")         \
    X(RM_TEXT_RESERVED1, 304, "reserved: never sent; a player answers 0")                                    \
    X(RM_TEXT_GENRE, 305, "sent: the genre in the window title and nonzero, or 0 for none")                  \
    X(RM_TEXT_YEAR, 306, "sent: the year in the window title and nonzero, or 0 for none")                    \
    X(RM_TEXT_TRACKNUM, 307, "sent: the track number in the window title and nonzero, or 0 for none")        \
    X(RM_TEXT_RESERVED2, 308, "reserved: never sent; a player answers 0")                                    \
    X(RM_TEXT_TIPCAPTION, 309, "sent: the tooltip caption in the window title and nonzero, or 0")            \
    X(RM_TEXT_TRACKLEN, 310, "sent: the track length as text in the window title and nonzero, or 0")         \
    X(RM_GET_MAXVOLUME, 400, "sent: the highest volume value")                                               \
    X(RM_GET_TRACKLENGTH, 401, "sent: the track's length in seconds; 0 for no length")                       \
    X(RM_GET_VOLUME, 402, "sent: the volume, from 0 to the RM_GET_MAXVOLUME answer")                         \
    X(RM_GET_POSITION, 403, "sent: the seconds played of the track")                                         \
    X(RM_IS_SUPPORTED, 500,                                                                                  \
      "sent: nonzero when the player handles message wParam (its number, 1126 for "                          \
      "RM_PLAY), 0 when it does not")                                                                        \
    X(RM_GET_RATING, 501, "sent: the track's rating, 0 unrated or 1 to 5 stars")                             \
    X(RM_PLAYLIST_ITEMTEXT, 701,                                                                             \
      "sent: the text of playlist entry wParam (from 0) in the window title; "                               \
      "for an entry without text or outside the list an empty title, and 0")                                 \
    X(RM_PLAYLIST_COUNT, 702, "sent: the number of playlist entries")                                        \
    X(RM_PLAYLIST_CURRENT, 703, "sent: the index of the current playlist entry, from 0")                     \
    X(RM_PLAYLIST_PLAY, 704, "posted: play playlist entry wParam, from 0")

#define PLAYER_REMOTE_ENUMERATOR(name, offset, meaning) name = WM_USER + (offset),
enum PlayerRemoteMessage { PLAYER_REMOTE_MESSAGES(PLAYER_REMOTE_ENUMERATOR) };
#undef PLAYER_REMOTE_ENUMERATOR

#endif /* PLAYER_REMOTE_H */
