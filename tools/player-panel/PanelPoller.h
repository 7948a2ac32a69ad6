// PanelPoller: every call the panel makes of the plug-in, on a thread of its own, so
// that the panel's window paints and answers screen readers at once whatever the
// player does. The plug-in may hold a call for up to a second against a slow or silent
// player; the window never waits for it, except where a person asked for a menu.
//
// It polls four times a second (PanelModel::poll says what each poll asks), carries
// out in order what the window hands it, and gives the window a copy of what it shows
// after each, with a message (`changed`) posted to the window. The instance is the poller's
// from start() to stop(): one thread at a time, as the plug-in asks.
#pragma once

#include "PanelModel.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace player_panel {

class PanelPoller {
public:
    using Job = std::function<void(PanelModel&)>;

    PanelPoller(PanelModel& model, UINT pollMilliseconds);
    ~PanelPoller();
    PanelPoller(const PanelPoller&) = delete;
    PanelPoller& operator=(const PanelPoller&) = delete;

    // From now on the model is the poller's; `changed` is posted to `window` after
    // each poll and job, once until the window has taken the state.
    void start(HWND window, UINT changed);
    // Waits for the job in hand, drops the rest, and gives the model back.
    void stop();

    // Runs `job` after those before it, then polls the time and states.
    void post(Job job);
    // The same, and an event set once it has run (the caller closes it).
    HANDLE postAndSignal(Job job);

    // What the panel shows, as of the last poll or job.
    PanelState state();
    // Problems a job met (a settings file that could not be written), since last asked.
    std::vector<std::wstring> takeProblems();
    // From a job, on the poller's thread.
    void problem(std::wstring what);

private:
    void run();
    void publish();

    PanelModel& model_;
    const UINT pollMilliseconds_;
    HWND window_ = nullptr;
    UINT changed_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<Job, HANDLE>> jobs_;
    PanelState shown_;
    bool notified_ = false;
    bool stopping_ = false;
    std::vector<std::wstring> problems_;
    std::thread thread_;
};

} // namespace player_panel
