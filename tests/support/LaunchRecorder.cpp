// launch-recorder: a stand-in player executable that only tells the tests that it
// was started, by releasing their named semaphore once, and exits.
#include <windows.h>

int wmain() {
    HANDLE started = OpenSemaphoreW(SEMAPHORE_MODIFY_STATE, FALSE, L"player-tests-launch-recorder");
    if (started != nullptr) {
        ReleaseSemaphore(started, 1, nullptr);
        CloseHandle(started);
    }
    return 0;
}
