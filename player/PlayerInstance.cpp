#include "player/PlayerInstance.h"

#include "player/Owned.h"

#include <cstdint>

namespace player {

PlayerInstance* createInstance(const wchar_t* exePath) noexcept {
    if (exePath == nullptr)
        exePath = L"";
    // Sized wide so that a huge length cannot wrap into a short buffer.
    const std::uint64_t bytes = (static_cast<std::uint64_t>(lstrlenW(exePath)) + 1) * sizeof(wchar_t);
    if (bytes > SIZE_MAX)
        return nullptr;
    HeapBlock<PlayerInstance> instance(sizeof(PlayerInstance));
    HeapBlock<wchar_t> path(static_cast<SIZE_T>(bytes));
    if (!instance || !path)
        return nullptr; // the owners give back whichever was allocated
    instance->lastLaunch = 0;
    instance->scrollTitle = 1;
    instance->scrollAlbum = 1;
    instance->scrollArtist = 1;
    instance->scrollTrackName = 1;
    instance->trackTime = 1;
    instance->volume = 255;
    instance->needSave = 0;
    lstrcpyW(path.get(), exePath);
    instance->exePath = path.release();
    return instance.release();
}

void destroyInstance(PlayerInstance* instance) noexcept {
    if (instance == nullptr)
        return;
    const HANDLE heap = GetProcessHeap();
    HeapFree(heap, 0, instance->exePath);
    HeapFree(heap, 0, instance);
}

} // namespace player
