#include "PanelPoller.h"

#include <chrono>
#include <utility>

namespace player_panel {

PanelPoller::PanelPoller(PanelModel& model, UINT pollMilliseconds)
    : model_(model), pollMilliseconds_(pollMilliseconds), shown_(model.state()) {}

PanelPoller::~PanelPoller() {
    stop();
}

void PanelPoller::start(HWND window, UINT changed) {
    window_ = window;
    changed_ = changed;
    shown_ = model_.state();
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void PanelPoller::stop() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        for (auto& [job, done] : jobs_)
            if (done != nullptr)
                SetEvent(done); // a waiting window goes on; the job is dropped
        jobs_.clear();
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void PanelPoller::post(Job job) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        jobs_.emplace_back(std::move(job), nullptr);
    }
    wake_.notify_all();
}

HANDLE PanelPoller::postAndSignal(Job job) {
    const HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        const std::lock_guard lock(mutex_);
        if (stopping_ || done == nullptr) {
            if (done != nullptr)
                SetEvent(done);
            return done;
        }
        jobs_.emplace_back(std::move(job), done);
    }
    wake_.notify_all();
    return done;
}

PanelState PanelPoller::state() {
    const std::lock_guard lock(mutex_);
    notified_ = false;
    return shown_;
}

std::vector<std::wstring> PanelPoller::takeProblems() {
    const std::lock_guard lock(mutex_);
    return std::exchange(problems_, {});
}

void PanelPoller::problem(std::wstring what) {
    model_.setProblem(what); // said on the panel too, where a person looks
    const std::lock_guard lock(mutex_);
    problems_.push_back(std::move(what));
}

void PanelPoller::publish() {
    bool notify = false;
    {
        const std::lock_guard lock(mutex_);
        shown_ = model_.state();
        notify = !notified_;
        notified_ = true;
    }
    if (notify && !PostMessageW(window_, changed_, 0, 0)) {
        const std::lock_guard lock(mutex_);
        notified_ = false;
    }
}

void PanelPoller::run() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextPoll = Clock::now() + std::chrono::milliseconds(pollMilliseconds_);
    unsigned ticks = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_until(lock, nextPoll, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_)
            return;
        if (!jobs_.empty()) {
            auto [job, done] = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job(model_);
            model_.pollAfterCommand();
            publish();
            if (done != nullptr)
                SetEvent(done);
            lock.lock();
            continue;
        }
        if (Clock::now() < nextPoll)
            continue;
        lock.unlock();
        const bool again = model_.poll(++ticks);
        publish();
        lock.lock();
        nextPoll = Clock::now() + std::chrono::milliseconds(again ? 0 : pollMilliseconds_);
    }
}

} // namespace player_panel
