// x11-map-wait [--timeout SECONDS] COMMAND [ARG...]
//
// Starts COMMAND and prints "PID MILLISECONDS" as soon as one of its top-level
// windows is viewable on the X display: the time from just before the exec to
// the X server's notice that the window is mapped, taken from X events rather
// than by polling. Then it waits for COMMAND to end and exits with its status.
// When no window is mapped within the timeout (60 seconds unless given), it
// stops COMMAND and exits 2 with no line.
//
// A top-level window counts once the window manager has reparented it (with no
// window manager: once it is mapped) and it is viewable, so frames and hidden
// helper windows are not mistaken for it. The display must show nothing else
// new while it waits.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <set>
#include <signal.h>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

bool isViewable(xcb_connection_t *c, xcb_window_t window)
{
    Reply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr),
        &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

void watch(xcb_connection_t *c, xcb_window_t window, uint32_t mask)
{
    xcb_change_window_attributes(c, window, XCB_CW_EVENT_MASK, &mask);
}

int waitForChild(pid_t child)
{
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
} // namespace

int main(int argc, char **argv)
{
    int first = 1;
    int timeoutSeconds = 60;
    if (argc > 2 && std::string_view(argv[1]) == "--timeout") {
        timeoutSeconds = std::atoi(argv[2]);
        first = 3;
    }
    if (argc <= first || timeoutSeconds <= 0) {
        std::fprintf(stderr, "usage: %s [--timeout SECONDS] COMMAND [ARG...]\n", argv[0]);
        return 64;
    }
    int screenNumber = 0;
    xcb_connection_t *c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "x11-map-wait: cannot open the display\n");
        return 69;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    watch(c, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    // A round trip: the selection is in force before the command starts.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    fcntl(xcb_get_file_descriptor(c), F_SETFD, FD_CLOEXEC);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[first], argv + first);
        std::perror("x11-map-wait: exec");
        _exit(127);
    }

    std::set<xcb_window_t> created; // new children of the root, not override-redirect
    std::set<xcb_window_t> clients; // of those, the ones the window manager took in
    bool windowManaged = false;
    const Clock::time_point deadline = start + std::chrono::seconds(timeoutSeconds);
    for (;;) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c) || Clock::now() > deadline)
                break;
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                std::fprintf(stderr, "x11-map-wait: the command ended before mapping a window\n");
                return 2;
            }
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, 100);
            continue;
        }
        bool check = false;
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (e->parent == root && !e->override_redirect) {
                created.insert(e->window);
                watch(c, e->window, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
                check = true; // it may have been mapped before the watch took hold
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            auto *e = reinterpret_cast<xcb_reparent_notify_event_t *>(event);
            if (created.count(e->window) && e->parent != root) {
                clients.insert(e->window);
                windowManaged = true;
                check = true;
            }
            break;
        }
        case XCB_MAP_NOTIFY:
            check = true;
            break;
        default:
            break;
        }
        std::free(event);
        if (!check)
            continue;
        const std::set<xcb_window_t> &candidates = windowManaged ? clients : created;
        for (const xcb_window_t window : candidates) {
            if (isViewable(c, window)) {
                const double ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                std::printf("%d %.1f\n", int(child), ms);
                std::fflush(stdout);
                xcb_disconnect(c);
                return waitForChild(child);
            }
        }
    }
    if (const int error = xcb_connection_has_error(c))
        std::fprintf(stderr, "x11-map-wait: lost the display (error %d)\n", error);
    else
        std::fprintf(stderr, "x11-map-wait: no window was mapped\n");
    kill(child, SIGTERM);
    waitForChild(child);
    return 2;
}
