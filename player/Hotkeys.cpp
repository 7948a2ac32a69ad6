#include "player/Hotkeys.h"

namespace player {

int copyHotkeys(HotkeyCommand* entries) noexcept {
    if (entries != nullptr)
        CopyMemory(entries, HotkeyCatalogue, sizeof(HotkeyCatalogue));
    return kHotkeyCount;
}

} // namespace player
