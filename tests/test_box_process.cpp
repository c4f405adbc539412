// The box program as the layer starts it, from a thread that blocks the quit signals as SDL's
// threads do, on an Xvfb display without a window manager: the signals it hears, no box left
// after a close or after the program that showed it was killed, and no answer without a display.
// (Its answers are the desktop tests'.)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <string>

#include "platform/sdl/box_process.h"
#include "platform/window_system.h"
#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <X11/Xlib.h>

namespace {
bool wait_until(const std::function<bool()>& condition, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !condition(); usleep(20000))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

Window shown_box(Display* x, const std::string& caption) {  // a mapped top-level window, or 0
    Window root, parent, *children = nullptr, found = 0;
    unsigned count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes a{};
        if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable &&
            wm::name(x, children[i]) == caption)
            found = children[i];
    }
    if (children != nullptr) XFree(children);
    return found;
}

std::string status_line(int pid, const std::string& field) {  // from /proc/PID/status
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return line.substr(field.size() + 2);
    return "ffffffffffffffff";  // gone
}

int start_blocked(const char* caption, unsigned flags) {  // as from one of SDL's threads
    sigset_t quits, old;
    sigemptyset(&quits);
    for (int s : {SIGHUP, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&quits, s);
    pthread_sigmask(SIG_BLOCK, &quits, &old);
    const int pid = start_box_process({caption, "본문", flags, 0, "x11"});
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return pid;
}
}  // namespace

TEST(BoxProcess, HearsSignalsAndLeavesNoBoxWhenClosedOrOrphaned) {
    XvfbDisplay display;
    Display* x = XOpenDisplay(display.name().c_str());
    ASSERT_NE(x, nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // boxes vanish under the test
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("ORRERY_BOX_PROGRAM", ORRERY_BOX_BINARY, 1);  // tests do not sit beside it

    // SDL's box (a forked child) and the box program hear the quit signals; closed by the layer,
    // the box goes, with that child which draws it.
    signal(SIGHUP, SIG_IGN);
    int pid = start_blocked("Question", MB_YESNO | MB_ICONEXCLAMATION);
    signal(SIGHUP, SIG_DFL);
    ASSERT_TRUE(wait_until([&] { return shown_box(x, "Question") != 0; }));
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                           "/children");
    int forked = 0;
    children >> forked;
    const unsigned long quits = 1ul << (SIGHUP - 1) | 1ul << (SIGINT - 1) | 1ul << (SIGTERM - 1);
    for (int process : {pid, forked}) {  // (SDL 3 ignores SIGPIPE of its own accord)
        for (const char* field : {"SigBlk", "SigIgn"})
            EXPECT_EQ(std::stoul(status_line(process, field), nullptr, 16) & quits, 0u)
                << process << " " << field;
    }
    EXPECT_EQ(getpgid(pid), pid);
    int answer = 0;
    EXPECT_FALSE(wait_box_process(pid, 0, &answer));
    close_box_process(pid);
    EXPECT_TRUE(wait_until([&] { return shown_box(x, "Question") == 0; })) << "box left open";

    // The program that showed it killed: the box goes too.
    const int program = fork();
    if (program == 0) {
        start_blocked("Orphan", MB_OK);
        pause();
        _exit(0);
    }
    ASSERT_TRUE(wait_until([&] { return shown_box(x, "Orphan") != 0; }));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    EXPECT_TRUE(wait_until([&] { return shown_box(x, "Orphan") == 0; })) << "orphaned box";

    // Without a display no box can be shown.
    unsetenv("DISPLAY");
    pid = start_box_process({"Nowhere", "본문", MB_OK, 0, ""});
    EXPECT_TRUE(wait_box_process(pid, 20000, &answer));
    EXPECT_EQ(answer, -1);
    XCloseDisplay(x);
}
