// soak: every export, called with every name, odd names and random buffer sizes,
// against a hostile player that answers badly, writes wild titles, vanishes in the
// middle of calls, hangs, and at the end answers slowly. Seeded and reproducible:
//   soak [--seed N] [--calls N] [--long] [--slow-calls N] [--verbose]
// Prints its figures at the end; on a failure, the seed and the call that failed.
#include "HostileFakePlayer.h"
#include "PluginLibrary.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr wchar_t kGuard = 0xCCCC;
constexpr wchar_t kFill = 0xAAAA;
constexpr std::size_t kGuardUnits = 16;
// A call may take the plug-in's one-second budget and the message the player was already handling.
constexpr ULONGLONG kHungCallLimit = 1500; // milliseconds
constexpr ULONGLONG kSlowCallLimit = 1500; // milliseconds

const wchar_t* const kTableNames[] = {
    // commands, states, texts, capabilities, fixed names, list and settings names
    L"playpause", L"play",       L"pause",       L"stop",         L"next",        L"prev",
    L"mute",      L"quit",       L"shuffle",     L"repeat",       L"eject",       L"volume",
    L"rating0",   L"rating1",    L"rating2",     L"rating3",      L"rating4",     L"rating5",
    L"title",     L"album",      L"artist",      L"trackname",    L"genre",       L"year",
    L"tracknum",  L"tipcaption", L"tracklen",    L"tracktime",    L"volumeup",    L"volumedown",
    L"needsave",  L"*playlist",  L"scrollAlbum", L"scrollArtist", L"scrollTitle", L"scrollTrackName",
    L"trackTime",
};

struct Figures {
    std::uint64_t calls = 0;
    std::uint64_t outsideWrites = 0;
    std::uint64_t playlists = 0;
    std::uint64_t playlistsChecked = 0;
    ULONGLONG longestCall = 0;
    ULONGLONG longestHungCall = 0;
    std::uint64_t hungCalls = 0;
    std::uint64_t slowCalls = 0;
    ULONGLONG longestSlowCall = 0;
    std::wstring longestSlowCallName;
};

class Soak {
public:
    Soak(const tools::PluginLibrary& plugin, std::uint64_t seed)
        : plugin_(plugin), seed_(seed), random_(static_cast<std::mt19937_64::result_type>(seed)),
          fake_(seed) {}
    ~Soak() { plugin_.DestroyPlayer(instance_); }

    bool run(std::uint64_t calls);
    // Calls against a player that answers every message after 0.2 to 0.9 seconds.
    bool runSlow(std::uint64_t calls);
    const Figures& figures() const { return figures_; }
    const soak::HostileFakePlayer& fake() const { return fake_; }

private:
    std::uint64_t pick(std::uint64_t n) { return random_() % n; }
    int hostileInt();
    std::wstring name();
    void fail(const std::wstring& what);
    void one();

    template <typename Check>
    void guarded(std::size_t units, Check&& call);

    void callGetText(PlayerInstance* instance, const std::wstring& name);
    void callGetState(PlayerInstance* instance, const std::wstring& name);
    void callGetPlayerName();
    void callGetEXE();
    void callHotkeys();
    void callGetPlayerParams(PlayerInstance* instance);
    void callSetPlayerParams(PlayerInstance* instance);
    void callQueryCtxMenu(PlayerInstance* instance);
    void callQueryMenu(PlayerInstance* instance, const std::wstring& name);
    void callInitDestroy();

    const tools::PluginLibrary& plugin_;
    const std::uint64_t seed_;
    std::mt19937_64 random_;
    soak::HostileFakePlayer fake_;
    Figures figures_;
    std::uint64_t call_ = 0;
    std::wstring current_;
    bool failed_ = false;
    int absentCalls_ = 0;
    bool slow_ = false;
    PlayerInstance* instance_ = nullptr;
};

int Soak::hostileInt() {
    return soak::hostileValue(random_());
}

std::wstring Soak::name() {
    std::wstring result;
    switch (pick(6)) {
    case 0:
    case 1:
    case 2:
        result = kTableNames[pick(std::size(kTableNames))];
        break;
    case 3: // odd case
        result = kTableNames[pick(std::size(kTableNames))];
        for (wchar_t& c : result)
            if (pick(2))
                c = static_cast<wchar_t>(towupper(c));
        break;
    case 4: // random units
        for (std::uint64_t n = pick(40); n > 0; --n)
            result += static_cast<wchar_t>(1 + pick(0xFFFE));
        break;
    default: // near misses
        result = kTableNames[pick(std::size(kTableNames))];
        if (pick(2))
            result += L' ';
        else if (!result.empty())
            result.pop_back();
        break;
    }
    return result;
}

void Soak::fail(const std::wstring& what) {
    if (!failed_)
        fwprintf(stderr, L"soak FAILED (seed %llu, call %llu): %ls: %ls\n",
                 static_cast<unsigned long long>(seed_), static_cast<unsigned long long>(call_),
                 current_.c_str(), what.c_str());
    failed_ = true;
}

// Runs `call` with a host buffer of `units` units between guard units, and counts writes outside it.
template <typename Check>
void Soak::guarded(std::size_t units, Check&& call) {
    std::vector<wchar_t> memory(units + 2 * kGuardUnits, kFill);
    std::fill(memory.begin(), memory.begin() + kGuardUnits, kGuard);
    std::fill(memory.end() - kGuardUnits, memory.end(), kGuard);
    call(memory.data() + kGuardUnits);
    for (std::size_t i = 0; i < kGuardUnits; ++i)
        if (memory[i] != kGuard || memory[kGuardUnits + units + i] != kGuard) {
            ++figures_.outsideWrites;
            fail(L"write outside the host buffer");
            return;
        }
}

void Soak::callGetText(PlayerInstance* instance, const std::wstring& name) {
    static constexpr int kSizes[] = {0, -1, INT_MIN, 1, 2, 3, 5, 6, 14, 15, 64, 255, 256, 1000, 70000};
    const int size = kSizes[pick(std::size(kSizes))];
    current_ = L"getText(\"" + name + L"\", size " + std::to_wstring(size) + L")";
    guarded(size > 0 ? static_cast<std::size_t>(size) : 4, [&](wchar_t* buffer) {
        plugin_.getText(instance, name.c_str(), buffer, size);
        if (size > 0 && buffer[0] != kFill && std::find(buffer, buffer + size, L'\0') == buffer + size)
            fail(L"text without a terminator within the size");
        if (size <= 0 && buffer[0] != kFill)
            fail(L"wrote with no room");
    });
}

void Soak::callGetState(PlayerInstance* instance, const std::wstring& name) {
    current_ = L"getState(\"" + name + L"\")";
    guarded(6, [&](wchar_t* buffer) {
        plugin_.getState(instance, name.c_str(), buffer);
        const std::wstring text(buffer, std::find(buffer, buffer + 6, L'\0'));
        if (buffer[0] != kFill && text != L"play" && text != L"pause" && text != L"on" && text != L"off")
            fail(L"unexpected state text");
    });
}

void Soak::callGetPlayerName() {
    static constexpr UINT kCapacities[] = {0, 1, 2, 14, 15, 16, 100, 0x80000000u, 0xFFFFFFFFu};
    const UINT capacity = kCapacities[pick(std::size(kCapacities))];
    current_ = L"GetPlayerName(capacity " + std::to_wstring(capacity) + L")";
    guarded(capacity <= 100 ? capacity + (capacity == 0) : 4, [&](wchar_t* buffer) {
        const HRESULT result = plugin_.GetPlayerName(buffer, capacity);
        if (capacity > 0x7FFFFFFF && (buffer[0] != kFill || result != static_cast<HRESULT>(0x80070057)))
            fail(L"an invalid capacity was not refused");
    });
}

void Soak::callGetEXE() {
    const int capacity = static_cast<int>(pick(4)) - 1;
    current_ = L"GetEXE(capacity " + std::to_wstring(capacity) + L")";
    guarded(capacity > 0 ? static_cast<std::size_t>(capacity) : 1, [&](wchar_t* buffer) {
        if (plugin_.GetEXE(buffer, capacity) != buffer)
            fail(L"did not return the buffer");
    });
}

void Soak::callHotkeys() {
    current_ = L"getHotkeyCommands";
    guarded(7810 / 2, [&](wchar_t* buffer) {
        if (plugin_.getHotkeyCommands(reinterpret_cast<HotkeyCommand*>(buffer)) != 11)
            fail(L"count is not 11");
    });
}

void Soak::callGetPlayerParams(PlayerInstance* instance) {
    current_ = L"getPlayerParams";
    if (pick(4) == 0) {
        plugin_.getPlayerParams(instance, nullptr);
        return;
    }
    guarded(6 * sizeof(PlayerParam) / 2, [&](wchar_t* buffer) {
        if (plugin_.getPlayerParams(instance, reinterpret_cast<PlayerParam*>(buffer)) != 6)
            fail(L"count is not 6");
    });
}

void Soak::callSetPlayerParams(PlayerInstance* instance) {
    // The records end where readable memory ends: a read past them faults.
    static const DWORD page = [] {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        return system.dwPageSize;
    }();
    auto* region = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT, PAGE_READWRITE));
    DWORD old;
    VirtualProtect(region + page, page, PAGE_NOACCESS, &old);
    const std::size_t records = pick(9);
    auto* params = reinterpret_cast<PlayerParam*>(region + page - records * sizeof(PlayerParam));
    for (std::size_t i = 0; i < records; ++i) {
        std::memset(&params[i], static_cast<int>(pick(256)), sizeof(PlayerParam));
        if (pick(5) != 0) { // otherwise: no terminator at all
            const std::wstring key = name().substr(0, 49);
            std::memcpy(params[i].name, key.c_str(), (key.size() + 1) * sizeof(wchar_t));
        }
        params[i].value = hostileInt();
    }
    const int count = static_cast<int>(records) - static_cast<int>(pick(records + 3));
    current_ =
        L"setPlayerParams(" + std::to_wstring(records) + L" records, count " + std::to_wstring(count) + L")";
    plugin_.setPlayerParams(instance, records ? params : nullptr, records ? std::max(count, -2) : count);
    VirtualFree(region, 0, MEM_RELEASE);
}

void Soak::callQueryCtxMenu(PlayerInstance* instance) {
    HMENU menu = CreatePopupMenu();
    const UINT hostItems = static_cast<UINT>(pick(4));
    for (UINT i = 0; i < hostItems; ++i)
        AppendMenuW(menu, MF_STRING, 1 + i, L"host item");
    const UINT position = static_cast<UINT>(pick(hostItems + 1));
    const UINT firstId = static_cast<UINT>(random_());
    current_ = L"queryCtxMenu(position " + std::to_wstring(position) + L")";
    const int result = plugin_.queryCtxMenu(instance, menu, position, firstId);
    const int added = GetMenuItemCount(menu) - static_cast<int>(hostItems);
    if (!((result == 1 && added == 1) || (result == 4 && added == 4) || (result == 11 && added == 5)))
        fail(L"result " + std::to_wstring(result) + L" but " + std::to_wstring(added) + L" items added");
    DestroyMenu(menu);
}

void Soak::callQueryMenu(PlayerInstance* instance, const std::wstring& name) {
    current_ = L"queryMenu(\"" + name + L"\")";
    PlaylistMenuItem* items = plugin_.queryMenu(instance, name.c_str());
    if (items == nullptr)
        return;
    ++figures_.playlists;
    // A longer list ends at the bound: its first entries, ids unchanged.
    const int count = std::min(fake_.lastPlaylistCount(), PLAYER_PLAYLIST_MAX_ENTRIES);
    const SIZE_T size = HeapSize(GetProcessHeap(), 0, items);
    if (count <= 0 || size != (static_cast<SIZE_T>(count) + 1) * sizeof(PlaylistMenuItem)) {
        fail(L"array of " + std::to_wstring(size) + L" bytes for " + std::to_wstring(count) + L" entries");
    } else {
        for (int i = 0; i < count; ++i) {
            const auto& item = items[i];
            if (item.id != i + 1 || (item.flags != 2 && item.flags != 3) ||
                std::find(item.text, item.text + 255, L'\0') == item.text + 255)
                fail(L"entry " + std::to_wstring(i) + L" is malformed");
        }
        static const PlaylistMenuItem zero{};
        if (std::memcmp(&items[count], &zero, sizeof zero) != 0)
            fail(L"the array does not end with an all-zero record");
        else
            ++figures_.playlistsChecked;
    }
    plugin_.freeMenu(instance, name.c_str(), items);
}

void Soak::callInitDestroy() {
    std::wstring path;
    const std::uint64_t kind = pick(4);
    if (kind == 1)
        path = L"Z:\\no\\such\\player.exe";
    else if (kind == 2)
        for (std::uint64_t n = pick(600); n > 0; --n)
            path += static_cast<wchar_t>(1 + pick(0xFFFE));
    current_ = L"InitPlayer/DestroyPlayer";
    PlayerInstance* instance = plugin_.InitPlayer(kind == 3 ? nullptr : path.c_str());
    if (instance == nullptr)
        fail(L"no instance");
    plugin_.DestroyPlayer(instance);
}

void Soak::one() {
    ++call_;
    // Plan the player's behaviour for this call.
    soak::CallPlan plan;
    plan.call = call_;
    if (slow_)
        plan.answerDelayMilliseconds = 200 + static_cast<int>(pick(701));
    else if (call_ % 1000 == 500) // a hang every thousand calls, of a seeded length
        plan.hangMilliseconds = 1100 + static_cast<int>(pick(1400));
    else if (pick(150) == 0)
        plan.vanishAtMessage = 1 + static_cast<int>(pick(4));
    bool present = true;
    if (!fake_.windowExists() && absentCalls_ == 0)
        absentCalls_ = static_cast<int>(pick(4)); // stay away for a few calls after vanishing
    if (absentCalls_ > 0) {
        --absentCalls_;
        present = absentCalls_ == 0 ? true : false;
    }
    fake_.plan(plan, present);

    PlayerInstance* instance = instance_;
    const std::wstring n = name();
    const std::uint64_t hangsBefore = fake_.hangs();
    const ULONGLONG start = GetTickCount64();
    switch (pick(16)) {
    case 0:
    case 1:
    case 2:
        current_ = L"sendCmd(\"" + n + L"\")";
        plugin_.sendCmd(instance, n.c_str(), hostileInt());
        break;
    case 3:
    case 4:
        callGetText(instance, n);
        break;
    case 5:
        callGetState(instance, n);
        break;
    case 6:
    case 7:
        current_ = L"getProp(\"" + n + L"\")";
        plugin_.getProp(instance, n.c_str(), pick(3) ? static_cast<int>(pick(9)) - 1 : hostileInt());
        break;
    case 8:
        callQueryCtxMenu(instance);
        break;
    case 9:
        current_ = L"invokeCtxMenu";
        plugin_.invokeCtxMenu(instance, static_cast<int>(pick(14)) - 2);
        break;
    case 10:
        callQueryMenu(instance, pick(2) ? std::wstring(L"*playlist") : n);
        break;
    case 11:
        current_ = L"invokeMenu(\"" + n + L"\")";
        plugin_.invokeMenu(instance, pick(2) ? L"*playlist" : n.c_str(), hostileInt());
        break;
    case 12:
        pick(2) ? callGetPlayerParams(instance) : callSetPlayerParams(instance);
        break;
    case 13:
        pick(2) ? callGetPlayerName() : callGetEXE();
        break;
    case 14:
        callHotkeys();
        break;
    default:
        callInitDestroy();
        break;
    }
    const ULONGLONG elapsed = GetTickCount64() - start;
    ++figures_.calls;
    figures_.longestCall = std::max(figures_.longestCall, elapsed);
    if (fake_.hungSince(hangsBefore)) {
        ++figures_.hungCalls;
        figures_.longestHungCall = std::max(figures_.longestHungCall, elapsed);
        if (elapsed >= kHungCallLimit)
            fail(L"took " + std::to_wstring(elapsed) + L" ms while the player hung");
    }
    if (slow_) {
        ++figures_.slowCalls;
        if (elapsed > figures_.longestSlowCall) {
            figures_.longestSlowCall = elapsed;
            figures_.longestSlowCallName = current_;
        }
        if (elapsed >= kSlowCallLimit)
            fail(L"took " + std::to_wstring(elapsed) + L" ms while the player was slow");
    }
}

bool Soak::run(std::uint64_t calls) {
    if (instance_ == nullptr)
        instance_ = plugin_.InitPlayer(L"");
    for (std::uint64_t i = 0; i < calls && !failed_; ++i) {
        one();
        // A silent player is answered at once as an absent one: paced as a host refreshes,
        // the calls during a hang or a slow phase are a few, and the player's hostile
        // answers are met again once it is asked again.
        if (slow_ || fake_.hanging())
            Sleep(slow_ ? 100 : 25);
    }
    return !failed_;
}

bool Soak::runSlow(std::uint64_t calls) {
    slow_ = true;
    const bool ok = run(calls);
    slow_ = false;
    return ok;
}

SIZE_T committedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// Bytes in use in the process heap, where the library allocates.
SIZE_T processHeapInUse() {
    const HANDLE heap = GetProcessHeap();
    SIZE_T inUse = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            inUse += entry.cbData;
    HeapUnlock(heap);
    return inUse;
}

std::uint64_t gSeed = 1;
bool verbose = false;

LONG CALLBACK onCrash(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code == EXCEPTION_ACCESS_VIOLATION || code == EXCEPTION_STACK_OVERFLOW ||
        code == EXCEPTION_INT_DIVIDE_BY_ZERO || code == EXCEPTION_ILLEGAL_INSTRUCTION) {
        fwprintf(stderr, L"soak CRASHED (seed %llu): exception 0x%08lX at %p\n",
                 static_cast<unsigned long long>(gSeed), code, info->ExceptionRecord->ExceptionAddress);
        fflush(stderr);
        ExitProcess(2);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::uint64_t calls = 10000;
    std::uint64_t slowCalls = 0; // 0: a thousandth of the calls, at least 12
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--seed" && i + 1 < argc)
            gSeed = std::wcstoull(argv[++i], nullptr, 10);
        else if (arg == L"--calls" && i + 1 < argc)
            calls = std::wcstoull(argv[++i], nullptr, 10);
        else if (arg == L"--long")
            calls = 200000;
        else if (arg == L"--slow-calls" && i + 1 < argc)
            slowCalls = std::wcstoull(argv[++i], nullptr, 10);
        else if (arg == L"--verbose")
            verbose = true;
        else {
            fwprintf(stderr, L"usage: soak [--seed N] [--calls N] [--long] [--slow-calls N] [--verbose]\n");
            return 2;
        }
    }
    AddVectoredExceptionHandler(1, onCrash);
    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(tools::besideProgram(L"player.dll"), plugin, error)) {
        fwprintf(stderr, L"soak: %ls\n", error.c_str());
        return 1;
    }

    const ULONGLONG start = GetTickCount64();
    Soak soak(plugin, gSeed);
    // A tenth of the run warms up (heap growth, Wine's caches) before memory is measured.
    bool ok = soak.run(calls / 10);
    const SIZE_T committedBefore = committedBytes();
    const SIZE_T heapBefore = processHeapInUse();
    for (int tenth = 2; tenth <= 10 && ok; ++tenth) {
        ok = soak.run(calls * tenth / 10 - calls * (tenth - 1) / 10);
        if (verbose)
            wprintf(L"  after %d0%%: committed %llu KiB, process heap %llu bytes\n", tenth,
                    static_cast<unsigned long long>(committedBytes() / 1024),
                    static_cast<unsigned long long>(processHeapInUse()));
    }
    const SIZE_T committedAfter = committedBytes();
    const SIZE_T heapAfter = processHeapInUse();
    // Last, apart from the memory figures: slow calls leave late answers behind in the player.
    if (ok)
        ok = soak.runSlow(slowCalls != 0 ? slowCalls : std::max<std::uint64_t>(12, calls / 1000));
    const Figures& all = soak.figures();
    const long long committedGrowth =
        (static_cast<long long>(committedAfter) - static_cast<long long>(committedBefore)) / 1024;
    const long long heapGrowth = static_cast<long long>(heapAfter) - static_cast<long long>(heapBefore);
    constexpr long long kNoiseKiB = 512;
    constexpr long long kHeapNoiseBytes = 16 * 1024;
    const bool memoryOk = committedGrowth <= kNoiseKiB && heapGrowth <= kHeapNoiseBytes;

    wprintf(L"soak: seed %llu, %llu calls in %.1f s\n", static_cast<unsigned long long>(gSeed),
            static_cast<unsigned long long>(all.calls), (GetTickCount64() - start) / 1000.0);
    wprintf(L"  calls made                   %llu\n", static_cast<unsigned long long>(all.calls));
    wprintf(L"  crashes                      0\n");
    wprintf(L"  writes outside host buffers  %llu\n", static_cast<unsigned long long>(all.outsideWrites));
    wprintf(L"  playlists returned           %llu, terminated and given back %llu\n",
            static_cast<unsigned long long>(all.playlists),
            static_cast<unsigned long long>(all.playlistsChecked));
    wprintf(L"  player hangs                 %llu (calls during them %llu)\n",
            static_cast<unsigned long long>(soak.fake().hangs()),
            static_cast<unsigned long long>(all.hungCalls));
    wprintf(L"  longest call while hung      %llu ms (limit %llu)\n",
            static_cast<unsigned long long>(all.longestHungCall),
            static_cast<unsigned long long>(kHungCallLimit));
    wprintf(L"  calls while slow             %llu (answers after 200 to 900 ms)\n",
            static_cast<unsigned long long>(all.slowCalls));
    wprintf(L"  longest call while slow      %llu ms (limit %llu): %ls\n",
            static_cast<unsigned long long>(all.longestSlowCall),
            static_cast<unsigned long long>(kSlowCallLimit), all.longestSlowCallName.c_str());
    wprintf(L"  longest call                 %llu ms\n", static_cast<unsigned long long>(all.longestCall));
    wprintf(L"  window destroyed mid-call    %llu\n",
            static_cast<unsigned long long>(soak.fake().vanishes()));
    wprintf(L"  committed memory             %+lld KiB after warm-up (%llu KiB -> %llu KiB, noise limit %lld "
            L"KiB)\n",
            committedGrowth, static_cast<unsigned long long>(committedBefore / 1024),
            static_cast<unsigned long long>(committedAfter / 1024), kNoiseKiB);
    wprintf(L"  process heap in use          %+lld bytes after warm-up (noise limit %lld)\n", heapGrowth,
            kHeapNoiseBytes);
    if (!memoryOk)
        fwprintf(stderr, L"soak FAILED (seed %llu): memory grew beyond noise\n",
                 static_cast<unsigned long long>(gSeed));
    const bool passed = ok && memoryOk && all.outsideWrites == 0 && all.playlists == all.playlistsChecked;
    wprintf(L"  result                       %ls\n", passed ? L"passed" : L"FAILED");
    return passed ? 0 : 1;
}
