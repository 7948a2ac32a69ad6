// PlayerInstance: the per-instance record handed to the host as an opaque pointer.
//
// It holds the six display settings, the pending-change flag and the launch guard.
// The record and its own copy of the executable path come from the process heap;
// createInstance gives null when memory runs out and leaves nothing allocated.
#pragma once

#include "PlayerPlugin.h"

#include <windows.h>
#include <cstdint>

// The record behind the public header's opaque PlayerInstance.
struct PlayerInstance {
    std::int64_t lastLaunch;  // seconds since 1970 UTC of the last start; 0 = never
    std::int32_t scrollTitle; // nonzero: the title text scrolls
    std::int32_t scrollAlbum;
    std::int32_t scrollArtist;
    std::int32_t scrollTrackName;
    std::int32_t trackTime; // nonzero: remaining time, 0: elapsed time
    std::int32_t volume;    // kept for the host only
    std::int32_t needSave;  // settings changed since the host last looked
    wchar_t* exePath;       // owned, never null
};

namespace player {

using ::PlayerInstance;

// A row of a table that names one of the instance's settings.
struct SettingRow {
    const wchar_t* name;
    std::int32_t PlayerInstance::*field;
};

// A null path is taken as the empty path.
PlayerInstance* createInstance(const wchar_t* exePath) noexcept;
void destroyInstance(PlayerInstance* instance) noexcept;

} // namespace player
