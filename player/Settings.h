// The display settings exchange (getPlayerParams, setPlayerParams).
//
// Six named parameters, in this order: "scrollAlbum", "scrollArtist",
// "scrollTitle", "scrollTrackName", "trackTime", "volume". Values pass bit for bit
// in both directions and are never normalised. Reading out writes only each
// record's name up to its terminator, `reserved` and `value`; the host's other bytes
// stay as they were. Writing back applies the records in order (a repeated key
// keeps its last value), matches keys with StrCmpIW, never reads past a record's
// 50 name units (an unterminated name matches nothing), and skips unknown keys.
// Both clear needSave: restored settings never ask to be saved.
#pragma once

#include "player/PlayerInstance.h"
#include "player/PluginApi.h"

namespace player {

inline constexpr int kSettingCount = PLAYER_PARAM_COUNT;

// Fills the six records (params is not null: the export answers a null array itself).
int readSettings(PlayerInstance& instance, PlayerParam* params) noexcept;
void writeSettings(PlayerInstance& instance, const PlayerParam* params, int count) noexcept;

} // namespace player
