// Metadata: an MPRIS player's properties, read from sd-bus messages into the bridge's
// snapshot (Wire.h), taking every value in the type the MPRIS interface declares and
// the types players send instead (a string for an artist list, an int32 for a length),
// skipping what is of no usable type, and clamping numbers: a length of 0 or below is
// none, a volume above 1 is 1, a text longer than kLongestText is cut.
#pragma once

#include "Wire.h"

#include <systemd/sd-bus.h>

#include <string>

namespace mpris_bridge {

inline constexpr std::size_t kLongestText = 65535; // bytes of UTF-8, cut at a character's start

// Reads a Metadata dictionary (a{sv}) at the message's position. The track's id, for
// SetPosition and the track list, goes to `trackId`.
int readMetadata(sd_bus_message* m, bridge_wire::Snapshot& into, std::string* trackId);

// The text of a track list's entry from its metadata: "Artist - Title", the title, or
// the file's name.
int readEntryText(sd_bus_message* m, std::string& text, std::string& trackId);

// Reads one property of org.mpris.MediaPlayer2.Player or org.mpris.MediaPlayer2 (its
// value a variant at the message's position) into the snapshot; skips unknown ones.
// `hasTrackList` takes the root's HasTrackList.
int readProperty(sd_bus_message* m, const std::string& name, bridge_wire::Snapshot& into,
                 std::string* trackId, bool* hasTrackList);

} // namespace mpris_bridge
