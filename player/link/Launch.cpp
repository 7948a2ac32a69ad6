#include "player/link/Launch.h"

#include "player/link/PlayerWindow.h"

#include <shellapi.h>
#include <cstdint>

namespace player::link {
namespace {

// Whole seconds since 1970-01-01 UTC from the system clock.
std::int64_t unixSecondsNow() noexcept {
    constexpr std::int64_t kTicksPerSecond = 10'000'000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

} // namespace

void launchPlayer(PlayerInstance& instance) noexcept {
    if (PlayerWindow::find().found())
        return;
    // A clock set back leaves the difference negative: no start until it has passed lastLaunch again.
    if (unixSecondsNow() - instance.lastLaunch < kLaunchGuardSeconds)
        return;
    if (instance.exePath[0] == L'\0')
        return;
    ShellExecuteW(nullptr, nullptr, instance.exePath, nullptr, nullptr, SW_SHOWNORMAL);
    instance.lastLaunch = unixSecondsNow();
}

} // namespace player::link
