#include "FakePlayer.h"
#include "Protocol.h"

#include <ostream>

namespace testing_support {
namespace {

constexpr const wchar_t* kClassName = protocol::kWindowClass;
// Outside the recorded WM_USER range.
constexpr UINT kSyncMessage = WM_APP + 1;
constexpr UINT kQuitMessage = WM_APP + 2;

bool recorded(UINT message) {
    return message >= WM_USER && message < WM_APP;
}

void registerClassOnce(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassW(&windowClass);
    }();
    (void)atom;
}

} // namespace

ReceivedMessage sent(UINT message, WPARAM wParam) {
    return {message, wParam, 0, true};
}
ReceivedMessage posted(UINT message, WPARAM wParam) {
    return {message, wParam, 0, false};
}

void PrintTo(const ReceivedMessage& m, std::ostream* os) {
    *os << (m.sent ? "sent " : "posted ") << m.message << " (wParam " << m.wParam << ", lParam " << m.lParam
        << ")";
}

FakePlayer::FakePlayer()
    : released_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      synced_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    registerClassOnce(&FakePlayer::windowProc);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] { run(ready); });
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
}

FakePlayer::~FakePlayer() {
    release();
    if (IsWindow(window_))
        PostMessageW(window_, kQuitMessage, 0, 0);
    else
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    CloseHandle(released_);
    CloseHandle(synced_);
}

void FakePlayer::run(HANDLE ready) {
    threadId_ = GetCurrentThreadId();
    window_ = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists before anyone posts
    SetEvent(ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
}

LRESULT CALLBACK FakePlayer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakePlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT FakePlayer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    if (message == kSyncMessage) {
        SetEvent(synced_);
        return 0;
    }
    if (message == kQuitMessage) {
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    }
    if (!recorded(message))
        return DefWindowProcW(window, message, wParam, lParam);

    const bool isSent = InSendMessage() != FALSE;
    std::function<Reply(WPARAM)> script;
    bool hang = false;
    bool vanish = false;
    DWORD delay = 0;
    DWORD pause = 0;
    {
        std::lock_guard lock(mutex_);
        log_.push_back({message, wParam, lParam, isSent});
        if (pause_ != 0 && untilPause_-- == 0) {
            pause = pause_;
            untilPause_ = pauseEvery_ - 1;
            if (pauseEvery_ == 0)
                pause_ = 0;
        }
        if (auto it = script_.find(message); it != script_.end())
            script = it->second;
        hang = hangOn_ && hangOn_->matches(message, wParam);
        vanish = vanishOn_ && vanishOn_->matches(message, wParam);
        if (hang)
            hangOn_.reset();
        if (vanish)
            vanishOn_.reset();
        const auto delayed = delays_.find(message);
        delay = delayed != delays_.end() ? delayed->second : delayAll_;
    }
    if (pause != 0) {
        const ULONGLONG began = GetTickCount64();
        Sleep(pause);
        std::lock_guard lock(mutex_);
        pauses_.push_back({began, GetTickCount64()});
    }
    if (delay != 0)
        Sleep(delay);
    if (hang) {
        hanging_ = true;
        WaitForSingleObject(released_, INFINITE);
        hanging_ = false;
    }
    if (vanish) {
        DestroyWindow(window);
        PostQuitMessage(0);
        return 0;
    }
    if (!script)
        return 0;
    Reply reply = script(wParam);
    if (reply.title)
        SetWindowTextW(window, reply.title->c_str());
    return reply.value;
}

void FakePlayer::answer(UINT message, LRESULT value) {
    answerWith(message, [value](WPARAM) { return Reply{value, std::nullopt}; });
}

void FakePlayer::answerText(UINT message, LRESULT value, std::wstring title) {
    answerWith(message, [value, title](WPARAM) { return Reply{value, title}; });
}

void FakePlayer::answerWith(UINT message, std::function<Reply(WPARAM)> script) {
    std::lock_guard lock(mutex_);
    script_[message] = std::move(script);
}

void FakePlayer::setTitle(const std::wstring& title) {
    SetWindowTextW(window_, title.c_str());
}

void FakePlayer::hangOn(UINT message, std::optional<WPARAM> wParam) {
    std::lock_guard lock(mutex_);
    ResetEvent(released_);
    hangOn_ = Trigger{message, wParam};
}

void FakePlayer::release() {
    SetEvent(released_);
}

void FakePlayer::vanishOn(UINT message, std::optional<WPARAM> wParam) {
    std::lock_guard lock(mutex_);
    vanishOn_ = Trigger{message, wParam};
}

void FakePlayer::delayAll(DWORD milliseconds) {
    std::lock_guard lock(mutex_);
    delayAll_ = milliseconds;
}

void FakePlayer::delayOn(UINT message, DWORD milliseconds) {
    std::lock_guard lock(mutex_);
    delays_[message] = milliseconds;
}

void FakePlayer::pauseNext(DWORD milliseconds, std::size_t every) {
    std::lock_guard lock(mutex_);
    pause_ = milliseconds;
    pauseEvery_ = every;
    untilPause_ = 0;
}

std::vector<FakePlayer::Pause> FakePlayer::pauses() {
    std::lock_guard lock(mutex_);
    return pauses_;
}

void FakePlayer::sync() {
    // Posted messages are handled in the order they were queued, so once this one is handled
    // every message posted before it has been too.
    if (IsWindow(window_) && PostMessageW(window_, kSyncMessage, 0, 0))
        WaitForSingleObject(synced_, 10000);
}

std::vector<ReceivedMessage> FakePlayer::messages() {
    sync();
    std::lock_guard lock(mutex_);
    return log_;
}

std::size_t FakePlayer::taken() {
    std::lock_guard lock(mutex_);
    return log_.size();
}

void FakePlayer::clearMessages() {
    sync();
    std::lock_guard lock(mutex_);
    log_.clear();
}

} // namespace testing_support
