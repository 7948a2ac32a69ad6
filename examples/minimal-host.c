/* minimal-host.c: the smallest host of player.dll, in C.
 *
 * Loads player.dll by name, resolves the exports, creates an instance for the player
 * at argv[1] (started when "play" finds it absent), prints what a host shows, reads
 * the plug-in's context-menu items into a real menu, lists the playlist, and carries
 * the display settings over to a second instance as a host does across two runs.
 *
 *   x86_64-w64-mingw32-gcc -std=c99 -municode -I include minimal-host.c -o minimal-host.exe
 *   cl /I include minimal-host.c user32.lib */
#include "PlayerPlugin.h"

#include <stdio.h>
#include <stdlib.h>

static void printWide(const char* label, const WCHAR* text) { /* UTF-8 on standard output */
    char utf8[1024];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL) == 0)
        utf8[0] = '\0';
    printf("%-10s%s\n", label, utf8);
}

static int fail(HMODULE dll, const char* what) {
    fprintf(stderr, "minimal-host: %s\n", what);
    FreeLibrary(dll);
    return 1;
}

int wmain(int argc, WCHAR** argv) {
    HMODULE dll = LoadLibraryW(L"player.dll");
    if (dll == NULL) {
        fprintf(stderr, "minimal-host: cannot load player.dll (error %lu)\n", GetLastError());
        return 1;
    }
    /* Every export is checked: a DLL of the wrong version or kind lacks some. */
#define RESOLVE(name)                                                                                        \
    name##Fn name = (name##Fn)(void (*)(void))GetProcAddress(dll, #name);                                    \
    if (name == NULL)                                                                                        \
        return fail(dll, "player.dll has no export " #name);
    RESOLVE(InitPlayer);
    RESOLVE(DestroyPlayer);
    RESOLVE(getText);
    RESOLVE(getState);
    RESOLVE(queryCtxMenu);
    RESOLVE(queryMenu);
    RESOLVE(freeMenu);
    RESOLVE(getPlayerParams);
    RESOLVE(setPlayerParams);
#undef RESOLVE

    PlayerInstance* player = InitPlayer(argc > 1 ? argv[1] : L"");
    if (player == NULL) /* out of memory: there is no instance to call */
        return fail(dll, "InitPlayer gave no instance");
    WCHAR text[256] = L"";
    WCHAR state[PLAYER_STATE_CAPACITY] = L"-";
    getText(player, L"title", text, 256); /* left as it was when the player is not running */
    printWide("title", text);
    getState(player, L"playpause", state);
    printWide("state", state);
    getText(player, L"tracktime", text, 256);
    printWide("time", text);

    HMENU menu = CreatePopupMenu();
    int items = queryCtxMenu(player, menu, 0, 1);
    printf("menu      %d items\n", items);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (GetMenuStringW(menu, (UINT)i, text, 256, MF_BYPOSITION) > 0)
            printWide("  item", text);
    DestroyMenu(menu);

    PlaylistMenuItem* list = queryMenu(player, PLAYER_PLAYLIST_NAME);
    for (int i = 0; list != NULL && list[i].id != 0; ++i)
        printWide(list[i].flags == PLAYER_PLAYLIST_FLAG_CURRENT ? "  now" : "  entry", list[i].text);
    freeMenu(player, PLAYER_PLAYLIST_NAME, list); /* every array goes back to the plug-in */

    int count = getPlayerParams(player, NULL);
    PlayerParam* params = calloc((size_t)count, sizeof *params);
    if (params != NULL) {
        getPlayerParams(player, params); /* a host writes these to its settings file */
        DestroyPlayer(player);
        player = InitPlayer(argc > 1 ? argv[1] : L"");
        if (player == NULL) {
            free(params);
            return fail(dll, "InitPlayer gave no instance");
        }
        setPlayerParams(player, params, count); /* and restores them in its next run */
        printf("settings  %d carried over\n", count);
        free(params);
    }
    DestroyPlayer(player);
    FreeLibrary(dll);
    return 0;
}
