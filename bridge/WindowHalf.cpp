#include "WindowHalf.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mpris_bridge {

WindowHalf::WindowHalf(sd_event* event, Line line, Ended ended)
    : event_(event), line_(std::move(line)), ended_(std::move(ended)) {}

WindowHalf::~WindowHalf() {
    stop();
}

bool WindowHalf::start(const std::vector<std::string>& command) {
    if (command.empty()) {
        in_ = dup(STDIN_FILENO);
        out_ = dup(STDOUT_FILENO);
    } else {
        int toChild[2], fromChild[2];
        if (pipe2(toChild, O_CLOEXEC) < 0 || pipe2(fromChild, O_CLOEXEC) < 0)
            return false;
        child_ = fork();
        if (child_ < 0)
            return false;
        if (child_ == 0) {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            std::vector<char*> argv;
            for (const std::string& word : command)
                argv.push_back(const_cast<char*>(word.c_str()));
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            std::fprintf(stderr, "mpris-bridge: cannot start %s\n", argv[0]);
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        out_ = toChild[1];
        in_ = fromChild[0];
        if (sd_event_add_child(event_, &childSource_, child_, WEXITED, &WindowHalf::onChild, this) < 0)
            return false;
    }
    fcntl(out_, F_SETFL, fcntl(out_, F_GETFL) | O_NONBLOCK);
    signal(SIGPIPE, SIG_IGN); // a half that went is seen by its end, not by a signal
    return sd_event_add_io(event_, &reading_, in_, EPOLLIN, &WindowHalf::onReadable, this) >= 0;
}

int WindowHalf::onReadable(sd_event_source*, int fd, uint32_t, void* userdata) {
    WindowHalf& self = *static_cast<WindowHalf*>(userdata);
    char chunk[4096];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) {
        if (got < 0 && errno == EINTR)
            return 0;
        sd_event_source_set_enabled(self.reading_, SD_EVENT_OFF);
        if (self.child_ < 0)
            self.ended_(0); // our own input ended
        return 0;
    }
    self.partial_.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t end; (end = self.partial_.find('\n')) != std::string::npos;
         self.partial_.erase(0, end + 1))
        self.line_(self.partial_.substr(0, end));
    return 0;
}

void WindowHalf::send(std::string snapshot) {
    pending_ = std::move(snapshot); // an older one not yet written is of no use now
    flush();
}

void WindowHalf::flush() {
    while (!pending_.empty() && out_ >= 0) {
        const ssize_t wrote = write(out_, pending_.data(), pending_.size());
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0 && errno == EAGAIN) {
            if (writing_ == nullptr)
                sd_event_add_io(event_, &writing_, out_, EPOLLOUT, &WindowHalf::onWritable, this);
            sd_event_source_set_enabled(writing_, SD_EVENT_ON);
            return;
        }
        if (wrote < 0)
            return; // it went; its end is told by onChild
        pending_.erase(0, static_cast<std::size_t>(wrote));
    }
    if (writing_ != nullptr)
        sd_event_source_set_enabled(writing_, SD_EVENT_OFF);
}

int WindowHalf::onWritable(sd_event_source*, int, uint32_t, void* userdata) {
    static_cast<WindowHalf*>(userdata)->flush();
    return 0;
}

int WindowHalf::onChild(sd_event_source*, const siginfo_t* info, void* userdata) {
    WindowHalf& self = *static_cast<WindowHalf*>(userdata);
    self.child_ = -1;
    self.ended_(info->si_status);
    return 0;
}

void WindowHalf::stop() {
    reading_ = sd_event_source_unref(reading_);
    writing_ = sd_event_source_unref(writing_);
    childSource_ = sd_event_source_unref(childSource_);
    if (out_ >= 0)
        close(out_); // its input ends: it closes its window and ends
    if (in_ >= 0)
        close(in_);
    out_ = in_ = -1;
    if (child_ > 0) {
        for (int tries = 0; tries < 50 && waitpid(child_, nullptr, WNOHANG) == 0; ++tries)
            usleep(100'000);
        if (waitpid(child_, nullptr, WNOHANG) == 0) {
            kill(child_, SIGTERM);
            waitpid(child_, nullptr, 0);
        }
        child_ = -1;
    }
}

} // namespace mpris_bridge
