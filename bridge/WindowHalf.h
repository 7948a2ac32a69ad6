// WindowHalf: the other end of the wire (Wire.h): the Windows half started as a child
// with its standard input and output joined to pipes, or, without a command, this
// program's own standard output and input (to read the snapshots, or to drive it by
// hand). Snapshots are written without waiting: one not yet taken is replaced by the
// next, since only the last one matters.
#pragma once

#include <systemd/sd-event.h>

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mpris_bridge {

class WindowHalf {
public:
    using Line = std::function<void(const std::string& line)>;
    using Ended = std::function<void(int status)>;
    WindowHalf(sd_event* event, Line line, Ended ended);
    ~WindowHalf();
    WindowHalf(const WindowHalf&) = delete;
    WindowHalf& operator=(const WindowHalf&) = delete;

    // Starts `command` (empty: this program's own input and output); false when it cannot.
    bool start(const std::vector<std::string>& command);
    void send(std::string snapshot);
    // Closes its input, so that it ends, and waits for it a while.
    void stop();

private:
    static int onReadable(sd_event_source* source, int fd, uint32_t events, void* userdata);
    static int onWritable(sd_event_source* source, int fd, uint32_t events, void* userdata);
    static int onChild(sd_event_source* source, const siginfo_t* info, void* userdata);
    void flush();

    sd_event* event_;
    Line line_;
    Ended ended_;
    int in_ = -1;  // we read its commands here
    int out_ = -1; // we write its snapshots here
    pid_t child_ = -1;
    sd_event_source* reading_ = nullptr;
    sd_event_source* writing_ = nullptr;
    sd_event_source* childSource_ = nullptr;
    std::string pending_; // what is still to be written
    std::string partial_; // a line read in part
};

} // namespace mpris_bridge
