// A host's own threads and windows in the way of its calls: a worker thread that met a
// silent player and lives on without taking messages; a second host process sitting
// in its own window procedure during a text request; a text request made by a window
// procedure of the host while its own title request waits.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

// Seconds until the host's other threads get live answers again, once the player has
// caught up, while the worker that met the silence lives on.
std::wstring workerReport(const tools::PluginLibrary& plugin);

// This host's refreshes while a second host process (this program with
// --stuck-host-child) sits 10 s in its window procedure during a text request.
std::wstring stuckHostReport(const tools::PluginLibrary& plugin);
// The second host's part: asks for the title with a message for its own window
// waiting, whose procedure then takes `milliseconds`.
int stuckHostChild(const tools::PluginLibrary& plugin, DWORD milliseconds);

// Title requests whose wait runs a window procedure of the host that asks for the
// artist: how many of either read the other's reply.
std::wstring nestedReport(const tools::PluginLibrary& plugin);

} // namespace bench
