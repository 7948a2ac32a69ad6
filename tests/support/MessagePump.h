// Runs this thread's messages (its windows', and the WinEvents of an out-of-context
// hook it set) until `done`, or false after `timeoutMs`.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

inline bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10'000) {
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < timeoutMs;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (done())
            return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

} // namespace testing_support
