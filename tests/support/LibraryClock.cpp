#include "LibraryClock.h"

#include "ImportPatch.h"
#include "Plugin.h"

#include <mutex>

namespace testing_support {
namespace {

std::mutex mutex;
std::vector<ULONGLONG> readings{0};
std::size_t nextReading = 0;
bool realPlusAhead = false;
ULONGLONG aheadBy = 0;
ULONGLONG fileTime = 0;

ULONGLONG WINAPI setTicks() {
    const std::lock_guard lock(mutex);
    if (realPlusAhead)
        return GetTickCount64() + aheadBy; // the test's own import: the real clock
    const ULONGLONG reading = readings[nextReading];
    if (nextReading + 1 < readings.size())
        ++nextReading;
    return reading;
}

void WINAPI setFileTime(FILETIME* time) {
    const std::lock_guard lock(mutex);
    time->dwLowDateTime = static_cast<DWORD>(fileTime);
    time->dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
}

void* realTicks = nullptr;
void* realFileTime = nullptr;

} // namespace

LibraryClock::LibraryClock() {
    ahead(0); // the real clock until the test sets it
    const HMODULE library = plugin().module.get();
    realTicks = tools::patchImport(library, "GetTickCount64", reinterpret_cast<void*>(&setTicks));
    realFileTime =
        tools::patchImport(library, "GetSystemTimeAsFileTime", reinterpret_cast<void*>(&setFileTime));
}

LibraryClock::~LibraryClock() {
    const HMODULE library = plugin().module.get();
    tools::patchImport(library, "GetTickCount64", realTicks);
    tools::patchImport(library, "GetSystemTimeAsFileTime", realFileTime);
}

void LibraryClock::ticks(std::vector<ULONGLONG> values) {
    const std::lock_guard lock(mutex);
    readings = values.empty() ? std::vector<ULONGLONG>{0} : std::move(values);
    nextReading = 0;
    realPlusAhead = false;
}

void LibraryClock::ahead(ULONGLONG milliseconds) {
    const std::lock_guard lock(mutex);
    realPlusAhead = true;
    aheadBy = milliseconds;
}

void LibraryClock::unixTime(std::int64_t seconds, std::int64_t tenMillionths) {
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const std::lock_guard lock(mutex);
    fileTime = static_cast<ULONGLONG>((seconds + kSecondsFrom1601To1970) * 10'000'000 + tenMillionths);
}

} // namespace testing_support
