#include "SendCounter.h"

#include "ImportPatch.h"

#include <atomic>

namespace tools {
namespace {

std::atomic<long> answered{0}, leftQueued{0}, refused{0};

LRESULT WINAPI countingSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout,
                            PDWORD_PTR result) {
    const bool hung = IsHungAppWindow(window) != FALSE;
    const LRESULT sent = SendMessageTimeoutW(window, message, wParam, lParam, flags, timeout, result);
    const DWORD error = GetLastError();
    if (sent != 0)
        ++answered;
    else if (hung || !IsWindow(window) || error != ERROR_TIMEOUT)
        ++refused;
    else
        ++leftQueued;
    SetLastError(error);
    return sent;
}

} // namespace

SendCounter::SendCounter(HMODULE module)
    : module_(module),
      real_(patchImport(module, "SendMessageTimeoutW", reinterpret_cast<void*>(&countingSend))) {
    reset();
}

SendCounter::~SendCounter() {
    if (real_ != nullptr)
        patchImport(module_, "SendMessageTimeoutW", real_);
}

SendCounts SendCounter::counts() const {
    SendCounts counts;
    counts.answered = answered;
    counts.leftQueued = leftQueued;
    counts.refused = refused;
    return counts;
}

void SendCounter::reset() {
    answered = 0;
    leftQueued = 0;
    refused = 0;
}

} // namespace tools
