// The box program as the layer starts it, on an Xvfb display without a window manager, from a
// thread that blocks and ignores the quit signals: the box hears them all the same, so that it
// goes, with what its program started, when the program that showed it is killed. (Its answers,
// and its closing by the layer, are the desktop tests'.)
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/sdl/box_process.h"
#include "platform/window_system.h"
#include "support/x11_harness.h"
// Last: Xlib's macros (None, Bool, Status) clash with names in the test framework.
#include <X11/Xlib.h>

static bool wait_until(const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (; !condition(); usleep(20000))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

static bool box_shown(Display* x, const std::string& caption) {  // a mapped top-level window
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    bool found = false;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a{};
        found = XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable &&
                wm::name(x, children[i]) == caption;
    }
    if (children != nullptr) XFree(children);
    return found;
}

static int start_deaf(const char* caption, unsigned flags) {  // as from one of SDL's threads
    sigset_t quits, old;
    sigemptyset(&quits);
    for (int s : {SIGHUP, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&quits, s), signal(s, SIG_IGN);
    pthread_sigmask(SIG_BLOCK, &quits, &old);
    const int pid = start_box_process({caption, "본문", flags, 0, "x11"});
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    for (int s : {SIGHUP, SIGINT, SIGTERM, SIGCHLD}) signal(s, SIG_DFL);
    return pid;
}

TEST(BoxProcess, TheBoxGoesWhenItsProgramIsKilled) {
    XvfbDisplay display;
    Display* x = XOpenDisplay(display.name().c_str());
    ASSERT_NE(x, nullptr);
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // boxes vanish under the test
    setenv("DISPLAY", display.name().c_str(), 1);
    const int program = fork();
    if (program == 0) start_deaf("Orphan", MB_OK), pause(), _exit(0);
    ASSERT_TRUE(wait_until([&] { return box_shown(x, "Orphan"); }));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);
    EXPECT_TRUE(wait_until([&] { return !box_shown(x, "Orphan"); })) << "orphaned box";
    XCloseDisplay(x);
}
