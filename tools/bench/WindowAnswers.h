// How fast whatever player window runs now answers a host's refresh of 16 messages, a
// second apart: each message timed as sent (median and slowest), and the refresh as a
// host makes it through the plug-in. For players of elsewhere (the MPRIS bridge's
// window) rather than the benchmark's own.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

std::wstring windowAnswersReport(const tools::PluginLibrary& plugin, int refreshes);

} // namespace bench
