// mpris-bridge: gives an MPRIS player of the Linux desktop a VRX_MEDIA_REMOTE window,
// so that player.dll's hosts under Wine show and control it.
//
//   mpris-bridge [--player NAME] [--window COMMAND ARGS...]
//
// It follows one MPRIS player on the session bus of its environment
// (DBUS_SESSION_BUS_ADDRESS; Follower.h says which), and hands its snapshots to the
// Windows half, mpris-window.exe, started with COMMAND (`./run bridge` gives the build's
// wine-run and mpris-window.exe), which owns the window and sends back the commands
// hosts post. Without --window the snapshots go to standard output and the commands
// come from standard input. It ends on Ctrl-C, SIGTERM, or when the Windows half ends.
#include "Follower.h"
#include "WindowHalf.h"

#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] =
    "usage: mpris-bridge [--player NAME] [--window COMMAND ARGS...]\n"
    "  --player NAME  follow the MPRIS player NAME (org.mpris.MediaPlayer2.NAME, or NAME.*), as\n"
    "                 playerctl --player does; by default the first one on the session bus\n"
    "  --window ...   start the Windows half with this command (the rest of the line), its input\n"
    "                 and output joined to the bridge; without it, the snapshots go to standard\n"
    "                 output and the commands come from standard input\n";

constexpr std::uint64_t kTickMicroseconds = 1'000'000;

int onTick(sd_event_source* source, uint64_t usec, void* userdata) {
    static_cast<mpris_bridge::Follower*>(userdata)->tick();
    sd_event_source_set_time(source, usec + kTickMicroseconds);
    return sd_event_source_set_enabled(source, SD_EVENT_ONESHOT); // a timer fires once, until set again
}

} // namespace

int main(int argc, char** argv) {
    std::string wanted;
    std::vector<std::string> window;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--player" && i + 1 < argc) {
            wanted = argv[++i];
        } else if (arg == "--window" && i + 1 < argc) {
            window.assign(argv + i + 1, argv + argc);
            break;
        } else {
            std::fputs(kUsage, arg == "--help" || arg == "-h" ? stdout : stderr);
            return arg == "--help" || arg == "-h" ? 0 : 2;
        }
    }
    sd_bus* bus = nullptr;
    int r = sd_bus_open_user(&bus);
    if (r < 0) {
        std::fprintf(stderr,
                     "mpris-bridge: no session bus (%s): DBUS_SESSION_BUS_ADDRESS names none that answers\n",
                     std::strerror(-r));
        return 1;
    }
    sd_event* event = nullptr;
    sd_event_default(&event);
    sd_bus_attach_event(bus, event, SD_EVENT_PRIORITY_NORMAL);
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGCHLD);
    sigprocmask(SIG_BLOCK, &ending, nullptr);
    sd_event_add_signal(event, nullptr, SIGINT, nullptr, nullptr);
    sd_event_add_signal(event, nullptr, SIGTERM, nullptr, nullptr);

    int status = 0;
    mpris_bridge::Follower* follower = nullptr;
    mpris_bridge::WindowHalf half(
        event, [&follower](const std::string& line) { follower->command(line); },
        [event, &status](int ended) {
            std::fprintf(stderr, "mpris-bridge: the window's half ended (%d)\n", ended);
            status = ended == 0 ? 0 : 1;
            sd_event_exit(event, status);
        });
    mpris_bridge::Follower following(
        bus, wanted, [&half](const bridge_wire::Snapshot& snapshot) { half.send(snapshot.encode()); });
    follower = &following;
    if (!half.start(window)) {
        std::fprintf(stderr, "mpris-bridge: cannot start the window's half: %s\n", std::strerror(errno));
        return 1;
    }
    half.send(bridge_wire::Snapshot{}.encode()); // no player yet: no window
    if ((r = following.start()) < 0) {
        std::fprintf(stderr, "mpris-bridge: cannot watch the session bus: %s\n", std::strerror(-r));
        return 1;
    }
    uint64_t now = 0;
    sd_event_now(event, CLOCK_MONOTONIC, &now);
    sd_event_add_time(event, nullptr, CLOCK_MONOTONIC, now + kTickMicroseconds, 0, &onTick, &following);
    r = sd_event_loop(event);
    half.stop();
    sd_bus_flush_close_unref(bus);
    sd_event_unref(event);
    return r < 0 ? 1 : status;
}
