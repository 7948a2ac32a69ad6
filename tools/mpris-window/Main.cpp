// mpris-window: the Windows half of the MPRIS bridge. Started by mpris-bridge (Linux)
// under Wine with its standard input and output joined to it: it reads the snapshots of
// the MPRIS player the bridge follows (bridge/Wire.h), owns the player's
// VRX_MEDIA_REMOTE window while there is one, and writes back the commands hosts post.
// It ends when its input ends: the bridge has gone.
#include "BridgeWindow.h"

#include "Unique.h"
#include "Wire.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr UINT kSnapshot = WM_APP + 1; // lParam: a Snapshot to take, the window thread's to delete

// Commands go out on a thread of their own: the window never waits on the pipe.
class Outbox {
public:
    Outbox() : thread_([this] { run(); }) {}
    ~Outbox() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }
    void send(std::string line) {
        {
            const std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line) + "\n");
        }
        wake_.notify_all();
    }

private:
    void run() {
        const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !lines_.empty(); });
            if (lines_.empty())
                return;
            const std::string line = std::move(lines_.front());
            lines_.pop_front();
            lock.unlock();
            DWORD written = 0;
            WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::string> lines_;
    bool stopping_ = false;
    std::thread thread_;
};

// Reads the snapshots, each handed whole to the window thread.
void readSnapshots(DWORD windowThread) {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    std::string pending;
    auto snapshot = std::make_unique<bridge_wire::Snapshot>();
    bool inBlock = false;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(in, chunk, sizeof chunk, &read, nullptr) && read > 0) {
        pending.append(chunk, read);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string_view line(pending.data(), end);
            if (line == "snapshot") {
                inBlock = true;
                snapshot = std::make_unique<bridge_wire::Snapshot>();
            } else if (inBlock && !snapshot->decode(line)) {
                inBlock = false;
                PostThreadMessageW(windowThread, kSnapshot, 0, reinterpret_cast<LPARAM>(snapshot.release()));
                snapshot = std::make_unique<bridge_wire::Snapshot>();
            }
        }
    }
    PostThreadMessageW(windowThread, WM_QUIT, 0, 0); // the bridge has gone
}

} // namespace

int wmain() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the queue exists before the reader posts
    Outbox outbox;
    mpris_window::BridgeWindow window([&outbox](const std::string& line) { outbox.send(line); });
    std::thread reader(readSnapshots, GetCurrentThreadId());
    reader.detach(); // blocked in ReadFile until the bridge goes; the process ends with it
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kSnapshot) {
            std::unique_ptr<bridge_wire::Snapshot> taken(
                reinterpret_cast<bridge_wire::Snapshot*>(msg.lParam));
            window.take(std::move(*taken), GetTickCount64());
            continue;
        }
        DispatchMessageW(&msg);
    }
    return 0;
}
