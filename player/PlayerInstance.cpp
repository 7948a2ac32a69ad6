#include "player/PlayerInstance.h"

#include <cstdint>

namespace player {

PlayerInstance* createInstance(const wchar_t* exePath) noexcept {
    if (exePath == nullptr)
        exePath = L"";
    const HANDLE heap = GetProcessHeap();
    auto* instance = static_cast<PlayerInstance*>(HeapAlloc(heap, 0, sizeof(PlayerInstance)));
    if (instance == nullptr)
        return nullptr;
    instance->lastLaunch = 0;
    instance->scrollTitle = 1;
    instance->scrollAlbum = 1;
    instance->scrollArtist = 1;
    instance->scrollTrackName = 1;
    instance->trackTime = 1;
    instance->volume = 255;
    instance->needSave = 0;

    // Sized wide so that a huge length cannot wrap into a short buffer.
    const std::uint64_t bytes = (static_cast<std::uint64_t>(lstrlenW(exePath)) + 1) * sizeof(wchar_t);
    void* copy = bytes <= SIZE_MAX ? HeapAlloc(heap, 0, static_cast<SIZE_T>(bytes)) : nullptr;
    if (copy == nullptr) {
        HeapFree(heap, 0, instance);
        return nullptr;
    }
    instance->exePath = static_cast<wchar_t*>(copy);
    lstrcpyW(instance->exePath, exePath);
    return instance;
}

void destroyInstance(PlayerInstance* instance) noexcept {
    if (instance == nullptr)
        return;
    const HANDLE heap = GetProcessHeap();
    HeapFree(heap, 0, instance->exePath);
    HeapFree(heap, 0, instance);
}

} // namespace player
