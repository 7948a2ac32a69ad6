#include "HostileFakePlayer.h"
#include "Protocol.h"

#include <climits>
#include <iterator>

namespace soak {
namespace {

using namespace protocol;

constexpr const wchar_t* kClassName = kWindowClass;
constexpr UINT kCreateWindow = WM_APP + 10; // thread message: create the window again
constexpr UINT kQuit = WM_APP + 11;

std::uint64_t mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

bool isTextMessage(UINT message) {
    return (message >= RM_TEXT_TITLE && message <= RM_TEXT_TRACKLEN) || message == RM_PLAYLIST_ITEMTEXT;
}

} // namespace

HostileFakePlayer::HostileFakePlayer(std::uint64_t seed)
    : seed_(seed), ready_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &HostileFakePlayer::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    thread_ = std::thread([this] { run(); });
    WaitForSingleObject(ready_, INFINITE);
}

HostileFakePlayer::~HostileFakePlayer() {
    PostThreadMessageW(threadId_, kQuit, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

void HostileFakePlayer::run() {
    threadId_ = GetCurrentThreadId();
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    createWindow();
    SetEvent(ready_);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kCreateWindow) {
            createWindow();
            SetEvent(ready_);
            continue;
        }
        if (msg.hwnd == nullptr && msg.message == kQuit) {
            if (HWND window = window_.exchange(nullptr))
                DestroyWindow(window);
            break;
        }
        DispatchMessageW(&msg);
    }
}

bool HostileFakePlayer::createWindow() {
    HWND window = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = window;
    return window != nullptr;
}

bool HostileFakePlayer::windowExists() const {
    return window_.load() != nullptr;
}

void HostileFakePlayer::plan(const CallPlan& plan, bool present) {
    {
        std::lock_guard lock(mutex_);
        plan_ = plan;
        messageInCall_ = 0;
        if (plan.hangMilliseconds > 0)
            pendingHang_ = plan.hangMilliseconds;
    }
    if (present && !windowExists()) {
        PostThreadMessageW(threadId_, kCreateWindow, 0, 0);
        WaitForSingleObject(ready_, 30000);
    }
}

std::uint64_t HostileFakePlayer::random(std::uint64_t salt) const {
    return mix(seed_ ^ mix(salt));
}

int hostileValue(std::uint64_t r) {
    const int small = static_cast<int>((r >> 8) % 299) + 2; // 2 .. 300
    const int large =
        static_cast<int>(((r >> 16) % (INT_MAX - (1 << 24))) + (1 << 24)); // 2^24 .. INT_MAX - 1
    switch (r % 9) {
    case 0:
        return 0;
    case 1:
        return 1;
    case 2:
        return -1;
    case 3:
        return small;
    case 4:
        return -small;
    case 5:
        return large;
    case 6:
        return -large;
    case 7:
        return INT_MIN;
    default:
        return INT_MAX;
    }
}

std::wstring HostileFakePlayer::hostileTitle(std::uint64_t r) const {
    std::size_t length = 0;
    switch (r % 8) {
    case 0:
    case 1:
        length = 0;
        break;
    case 2:
    case 3:
    case 4:
        length = (r >> 8) % 64;
        break;
    case 5:
    case 6:
        length = (r >> 8) % 1024;
        break;
    default:
        length = (r >> 8) % 65536;
        break; // up to 65,535 units
    }
    static constexpr wchar_t kOdd[] = {L'\t',  L'\r',  L'\n',  0x7F, 0xFFFF, 0xFEFF,
                                       0x200B, 0x202E, 0xFFFD, L'%', L'"'};
    std::wstring title;
    title.reserve(length + 1);
    std::uint64_t state = r;
    while (title.size() < length) {
        state = mix(state);
        switch (state % 6) {
        case 0:
            title += static_cast<wchar_t>(L' ' + (state >> 8) % 95);
            break; // ASCII
        case 1:
            title += static_cast<wchar_t>(0xC0 + (state >> 8) % 0x180);
            break; // Latin
        case 2:
            title += static_cast<wchar_t>(0x4E00 + (state >> 8) % 0x5000);
            break; // CJK
        case 3:    // a surrogate pair, if it fits
            if (title.size() + 2 <= length) {
                title += static_cast<wchar_t>(0xD800 + (state >> 8) % 0x400);
                title += static_cast<wchar_t>(0xDC00 + (state >> 20) % 0x400);
            }
            break;
        case 4:
            title += static_cast<wchar_t>(0xD800 + (state >> 8) % 0x800);
            break; // a lone surrogate
        default:
            title += kOdd[(state >> 8) % std::size(kOdd)];
            break;
        }
    }
    return title;
}

LRESULT CALLBACK HostileFakePlayer::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostileFakePlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message < WM_USER || message >= WM_APP)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->handle(window, message, wParam, lParam);
}

LRESULT HostileFakePlayer::handle(HWND window, UINT message, WPARAM wParam, LPARAM) {
    CallPlan plan;
    int place = 0;
    int hang = 0;
    {
        std::lock_guard lock(mutex_);
        plan = plan_;
        place = ++messageInCall_;
        std::swap(hang, pendingHang_);
    }
    const std::uint64_t r = random((plan.call << 20) ^ (static_cast<std::uint64_t>(place) << 12) ^ message ^
                                   (static_cast<std::uint64_t>(wParam) << 40));
    if (hang > 0) {
        hanging_ = true;
        ++hangs_;
        Sleep(static_cast<DWORD>(hang));
        hanging_ = false;
    }
    if (plan.answerDelayMilliseconds > 0)
        Sleep(static_cast<DWORD>(plan.answerDelayMilliseconds));
    if (place == plan.vanishAtMessage) {
        ++vanishes_;
        window_ = nullptr;
        DestroyWindow(window);
        return 0;
    }
    if (isTextMessage(message) || (r >> 60) == 0)
        SetWindowTextW(window, hostileTitle(mix(r)).c_str());
    const int value = hostileValue(r >> 4);
    if (message == RM_PLAYLIST_COUNT)
        lastPlaylistCount_ = value;
    return value;
}

} // namespace soak
