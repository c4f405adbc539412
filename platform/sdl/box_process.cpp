// Starting, waiting for and closing the box program. Plain POSIX, no SDL: the
// child between fork and exec may only make async-signal-safe calls, because
// SDL's threads may hold locks (the allocator's, Xlib's) at the moment of the
// fork.
#include "platform/sdl/box_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform/sdl/box_protocol.h"
#include "platform/window_system.h"

static bool executable(const std::string& path) {
    return !path.empty() && access(path.c_str(), X_OK) == 0;
}

// The box program sits beside the running program, in the build folder and in
// the installation alike; empty when it is not there.
static std::string box_program_path() {
    char self[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        std::string path(self, static_cast<std::size_t>(length));
        std::size_t slash = path.rfind('/');
        if (slash != std::string::npos) {
            path = path.substr(0, slash + 1) + "orrery-box";
            if (executable(path)) return path;
        }
    }
    return {};
}

// In the child, between fork and exec: async-signal-safe calls only.
[[noreturn]] static void become_box(char* const argv[], pid_t parent, long open_max) {
    // A group of its own, so that the box and whatever it starts (SDL's X11
    // box forks once more, zenity is a program of its own) end together.
    setpgid(0, 0);
    // The fork came from a thread that SDL may have left with SIGINT, SIGTERM,
    // SIGHUP and SIGCHLD blocked, and both masks and ignored signals survive
    // exec: without this the box, and zenity after it, would ignore Ctrl+C
    // and the signal that closes them.
    struct sigaction fresh = {};
    fresh.sa_handler = SIG_DFL;
    sigemptyset(&fresh.sa_mask);
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        sigaction(signal_number, &fresh, nullptr);  // fails harmlessly for SIGKILL, SIGSTOP
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // The kernel sends SIGTERM when the forking thread ends. That is the main
    // thread (boxes are shown from it), so in effect when the program ends,
    // also when it is killed; the box program then ends its group. A parent
    // that ended before the request was made is seen by getppid.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(BOX_EXIT_NO_BOX);
    // The program's X connection, GL device files and pipes are not the
    // box's business; standard input, output and error are kept.
    if (syscall(SYS_close_range, 3U, ~0U, 0U) != 0) {
        for (long fd = 3; fd < open_max; ++fd) close(static_cast<int>(fd));
    }
    execv(argv[0], argv);
    _exit(127);
}

int start_box_process(const BoxRequest& request) {
    std::string program = box_program_path();
    if (program.empty()) return -1;
    std::string flags = std::to_string(request.flags);
    std::string owner = std::to_string(request.owner_window);
    std::string caption = request.caption != nullptr ? request.caption : "";
    std::string text = request.text != nullptr ? request.text : "";
    std::string driver = request.video_driver != nullptr ? request.video_driver : "";
    char* argv[BOX_ARGUMENT_COUNT + 2] = {program.data(), caption.data(), text.data(), flags.data(),
                                          owner.data(),   driver.data(),  nullptr};
    long open_max = sysconf(_SC_OPEN_MAX);
    if (open_max < 0 || open_max > 65536) open_max = 65536;
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid == 0) become_box(argv, parent, open_max);
    if (pid < 0) return -1;
    // Also from this side, so that the group exists before close_box_process
    // may signal it (the child's own setpgid might not have run yet).
    setpgid(pid, pid);
    return pid;
}

// Waits up to `milliseconds` for the process to end, without collecting it.
// Returns early when a signal arrives, so that the caller sees it at once.
static void wait_for_end(int pid, int milliseconds) {
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (pidfd >= 0) {
        pollfd watched = {pidfd, POLLIN, 0};
        poll(&watched, 1, milliseconds);
        close(pidfd);
        return;
    }
    // Kernels before 5.3 have no process descriptors: look every 10 ms.
    siginfo_t info = {};
    for (int waited = 0; waited < milliseconds; waited += 10) {
        timespec step = {0, 10 * 1000 * 1000};
        if (nanosleep(&step, nullptr) != 0) return;
        info.si_pid = 0;
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
            info.si_pid != 0) {
            return;
        }
    }
}

static void collect(int pid) {
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

static int answer_of(const siginfo_t& info) {
    if (info.si_code != CLD_EXITED) return -1;
    switch (info.si_status) {
        case BOX_EXIT_OK:
            return IDOK;
        case BOX_EXIT_YES:
            return IDYES;
        case BOX_EXIT_NO:
            return IDNO;
        default:
            return -1;  // no box, or a box program that failed some other way
    }
}

bool wait_box_process(int pid, int milliseconds, int* answer) {
    int ignored = 0;
    if (answer == nullptr) answer = &ignored;
    *answer = -1;
    if (pid <= 0) return true;
    if (milliseconds > 0) wait_for_end(pid, milliseconds);
    siginfo_t info = {};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0) {
        return errno != EINTR;  // ECHILD: not ours, or already collected
    }
    if (info.si_pid == 0) return false;
    // The box program has ended; a child of it that is somehow still open
    // goes too. The group's id cannot be reused while its leader is not yet
    // collected.
    kill(-pid, SIGKILL);
    collect(pid);
    *answer = answer_of(info);
    return true;
}

void close_box_process(int pid) {
    if (pid <= 0) return;
    // SIGKILL, as nothing in the box needs tidying up and the X server takes
    // its windows away when the connection drops. The whole group: SDL's
    // forked X11 box or zenity would otherwise stay on the screen.
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    collect(pid);
}
