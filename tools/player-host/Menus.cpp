#include "Menus.h"

#include "Console.h"
#include "Json.h"
#include "MenuReader.h"
#include "PlayerRemote.h"
#include "Unique.h"

#include <string_view>
#include <vector>

namespace player_host {
namespace {

using tools::print;

constexpr UINT kFirstId = 1000;
// A playlist call that took this long may have been cut off by the plug-in's one-second budget.
// What the plug-in waits on a player at a stretch (PlayerRemote.h), less a tick's worth:
// a call that took this long may have been cut short by it.
constexpr ULONGLONG kNearlyTheStretchMs = PLAYER_REMOTE_STRETCH_MS - 50;

// Whether item k is one the header says is checked while something is on; the other
// plain items are commands.
bool isToggle(int k) {
#define PLAYER_HOST_TOGGLE(item, text, what)                                                                 \
    if (item == k)                                                                                           \
        return std::wstring_view(what).find(L"checked while") != std::wstring_view::npos;
    PLAYER_CONTEXT_ITEMS(PLAYER_HOST_TOGGLE)
#undef PLAYER_HOST_TOGGLE
    return false;
}

int itemNumber(const tools::MenuEntry& entry) {
    return static_cast<int>(entry.id - kFirstId);
}

void printMenu(HMENU menu, const std::wstring& indent) {
    for (const tools::MenuEntry& entry : tools::readMenu(menu)) {
        if (entry.separator()) {
            print(indent + L"  \u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\n");
            continue;
        }
        const std::wstring mark = entry.radio()                  ? (entry.checked() ? L"(\u2022)" : L"( )")
                                  : entry.submenu                ? L"   "
                                  : !isToggle(itemNumber(entry)) ? L"   "
                                                                 : (entry.checked() ? L"[x]" : L"[ ]");
        wchar_t item[16] = L"     ";
        if (!entry.submenu)
            wsprintfW(item, L"k=%-3d", itemNumber(entry));
        print(indent + L"  " + item + mark + L" " + tools::visible(entry.text) +
              (entry.submenu ? L" \u25B8" : L"") + L"\n");
        if (entry.submenu)
            printMenu(entry.submenu, indent + L"         ");
    }
}

} // namespace

namespace {

// The menu's entries as JSON: items with k, text and mark, separators, submenus.
std::wstring menuJson(HMENU menu) {
    std::vector<std::wstring> entries;
    for (const tools::MenuEntry& entry : tools::readMenu(menu)) {
        JsonObject item;
        if (entry.separator())
            item.add(L"kind", L"separator");
        else if (entry.submenu)
            item.add(L"kind", L"submenu")
                .add(L"text", entry.text)
                .addJson(L"entries", menuJson(entry.submenu));
        else if (!entry.radio() && !isToggle(itemNumber(entry)))
            item.add(L"kind", L"command").add(L"k", itemNumber(entry)).add(L"text", entry.text);
        else
            item.add(L"kind", entry.radio() ? L"radio" : L"check")
                .add(L"k", itemNumber(entry))
                .add(L"text", entry.text)
                .add(L"checked", entry.checked());
        entries.push_back(item.text());
    }
    return jsonArray(entries);
}

} // namespace

Outcome printContextMenu(const Host& host, bool json) {
    const tools::UniqueMenu menu(CreatePopupMenu());
    const int inserted = host.plugin().queryCtxMenu(host.instance(), menu.get(), 0, kFirstId);
    const Host::Player player = host.player();
    // A player that did not answer has its items, but its marks are unknown, not off.
    const bool marksKnown = player != Host::Player::NotResponding;
    // Rate is there (11), or the player says it offers none; else not known.
    enum class Ratings { Offered, None, Unknown } ratings = Ratings::Unknown;
    if (inserted > 4)
        ratings = Ratings::Offered;
    else if (inserted == 4 && player == Host::Player::Responding &&
             !tools::askedOffersRatings().value_or(true))
        ratings = Ratings::None;
    const bool running = player != Host::Player::Absent;
    Outcome outcome;
    if (!marksKnown)
        outcome = {kNotResponding, L"player not responding: the menu's marks did not arrive"};
    else if (running && ratings == Ratings::Unknown)
        outcome = {kNotResponding,
                   L"player not responding: whether it offers ratings did not arrive, and the "
                   L"menu has no Rate"};
    if (json) {
        JsonObject document;
        document.add(L"items", inserted).add(L"marksKnown", marksKnown);
        document.addJson(L"ratings", ratings == Ratings::Offered ? L"true"
                                     : ratings == Ratings::None  ? L"false"
                                                                 : L"null");
        document.addJson(L"entries", menuJson(menu.get()));
        printDocument(withError(document, outcome.code, outcome.error).text());
        return outcome;
    }
    print(L"Context menu (" + std::to_wstring(inserted) + (inserted == 1 ? L" item" : L" items") +
          L" from the plug-in; choose with: menu K)\n");
    printMenu(menu.get(), L"");
    if (!marksKnown)
        print(L"  (the player did not answer: its marks are not shown)\n");
    else if (running && ratings == Ratings::Unknown)
        print(L"  (the player did not answer whether it offers ratings: no Rate shown)\n");
    return outcome;
}

std::vector<int> contextMenuItems(const Host& host) {
    const tools::UniqueMenu menu(CreatePopupMenu());
    host.plugin().queryCtxMenu(host.instance(), menu.get(), 0, kFirstId);
    std::vector<int> items;
    for (const tools::MenuEntry& entry : tools::readMenu(menu.get())) {
        const std::vector<tools::MenuEntry> sub =
            entry.submenu ? tools::readMenu(entry.submenu) : std::vector{entry};
        for (const tools::MenuEntry& item : sub)
            if (!item.separator() && !item.submenu)
                items.push_back(static_cast<int>(item.id - kFirstId));
    }
    return items;
}

namespace {

// The playlist for the length of a scope, given back to the plug-in at its end.
class Playlist {
public:
    explicit Playlist(const Host& host)
        : host_(host), items_(host.plugin().queryMenu(host.instance(), PLAYER_PLAYLIST_NAME)) {}
    ~Playlist() { host_.plugin().freeMenu(host_.instance(), PLAYER_PLAYLIST_NAME, items_); }
    Playlist(const Playlist&) = delete;
    Playlist& operator=(const Playlist&) = delete;

    const PlaylistMenuItem* items() const { return items_; }
    int size() const {
        int count = 0;
        while (items_ != nullptr && items_[count].id != 0)
            ++count;
        return count;
    }

private:
    const Host& host_;
    PlaylistMenuItem* items_;
};

} // namespace

int playlistLength(const Host& host) {
    return Playlist(host).size();
}

// 10000 as "10,000".
std::wstring grouped(int number) {
    std::wstring digits = std::to_wstring(number);
    for (int i = static_cast<int>(digits.size()) - 3;
         i > 0 && digits[static_cast<std::size_t>(i - 1)] != L'-'; i -= 3)
        digits.insert(static_cast<std::size_t>(i), 1, L',');
    return digits;
}

std::wstring PlaylistListing::bound() const {
    return L"the first " + grouped(count) +
           L" entries, the most the plug-in hands back: the player's list may go on beyond them";
}

std::wstring PlaylistListing::error() const {
    if (!returned)
        return player == Host::Player::Absent          ? L"player not running"
               : player == Host::Player::NotResponding ? L"player not responding"
                                                       : L"";
    if (complete)
        return L"";
    return L"texts for " + grouped(withText) + L" of " + grouped(count) + L" entries" +
           (playerLeft ? L" arrived before the player quit or stopped answering"
                       : L" arrived within the time the plug-in waits on a player (0.8 s at a stretch, 1 s "
                         L"a call)") +
           (atBound() ? L" (" + bound() + L")" : L"");
}

int PlaylistListing::exitCode() const {
    if (!returned)
        return player == Host::Player::Absent          ? kNotRunning
               : player == Host::Player::NotResponding ? kNotResponding
                                                       : kDone;
    return complete ? kDone : kIncomplete;
}

PlaylistListing printPlaylist(const Host& host, int limit, bool json) {
    const ULONGLONG start = GetTickCount64();
    const Playlist playlist(host);
    const ULONGLONG took = GetTickCount64() - start;
    PlaylistListing listing;
    listing.returned = playlist.items() != nullptr;
    listing.player = host.player();
    listing.count = playlist.size();
    for (int i = 0; i < listing.count; ++i)
        if (playlist.items()[i].text[0] != L'\0')
            listing.withText = i + 1; // every entry before one with text was asked and answered
    // Blank entries after the last text are blank in the player, unless the plug-in's
    // wait ran out (the call took nearly all of it) or the player went away or fell
    // silent during it, early.
    const bool waitSpent = took >= kNearlyTheStretchMs;
    listing.playerLeft = listing.player != Host::Player::Responding && !waitSpent;
    listing.complete = listing.withText == listing.count || (!waitSpent && !listing.playerLeft);
    if (json) {
        std::vector<std::wstring> entries;
        for (int i = 0; i < listing.count && i < limit; ++i) {
            const PlaylistMenuItem& item = playlist.items()[i];
            entries.push_back(JsonObject()
                                  .add(L"id", item.id)
                                  .add(L"text", item.text)
                                  .add(L"current", item.flags == PLAYER_PLAYLIST_FLAG_CURRENT)
                                  .text());
        }
        JsonObject document;
        // Without a list from a player that answers, neither a count nor all texts arrived.
        const bool known = listing.returned || listing.player == Host::Player::Responding;
        document.addJson(L"count", known ? std::to_wstring(listing.count) : L"null")
            .addJson(L"withText", known ? std::to_wstring(listing.withText) : L"null")
            .add(L"complete", known && listing.complete)
            .add(L"mayGoOn", listing.atBound())
            .addJson(L"entries", jsonArray(entries));
        if (playlist.items() == nullptr && known)
            document.add(L"playlist", false);
        printDocument(withError(document, listing.exitCode(), listing.error()).text());
        return listing;
    }
    if (playlist.items() == nullptr) {
        if (listing.player == Host::Player::Responding)
            print(L"(no playlist)\n");
        return listing;
    }
    for (int i = 0; i < listing.count && i < limit; ++i) {
        const PlaylistMenuItem& item = playlist.items()[i];
        const bool current = item.flags == PLAYER_PLAYLIST_FLAG_CURRENT;
        wchar_t number[16];
        wsprintfW(number, L"%3d. ", item.id);
        print((current ? L"\u25B6 " : L"  ") + std::wstring(number) + tools::visible(item.text) + L"\n");
    }
    if (listing.count > limit)
        print(L"  ... " + std::to_wstring(listing.count - limit) + L" more of " +
              std::to_wstring(listing.count) + L"\n");
    if (listing.atBound())
        print(L"  (" + listing.bound() + L")\n");
    return listing;
}

void printHotkeys(const tools::PluginLibrary& plugin, bool json) {
    const int count = plugin.getHotkeyCommands(nullptr);
    std::vector<HotkeyCommand> entries(static_cast<std::size_t>(count > 0 ? count : 0));
    plugin.getHotkeyCommands(entries.data());
    if (json) {
        std::vector<std::wstring> list;
        for (const HotkeyCommand& entry : entries)
            list.push_back(
                JsonObject().add(L"command", entry.command).add(L"description", entry.description).text());
        printDocument(jsonArray(list));
        return;
    }
    for (const HotkeyCommand& entry : entries) {
        std::wstring command = entry.command;
        command.resize(std::max<std::size_t>(command.size(), 12), L' ');
        print(L"  " + command + L" " + entry.description + L"\n");
    }
}

} // namespace player_host
