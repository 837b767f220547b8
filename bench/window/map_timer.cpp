// Starts a program and prints the milliseconds until its first top-level window is mapped on the
// X display ($DISPLAY), then ends it. Usage: bench_map_timer program [arguments...]
#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_map_timer program [arguments...]\n", stderr);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("bench_map_timer: no X display\n", stderr);
        return 1;
    }
    // Every window mapped as a child of the root (a top-level window, or a window manager's frame).
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double milliseconds = -1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect) {
            milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    std::printf("%.1f\n", milliseconds);
    XCloseDisplay(display);
    return 0;
}
