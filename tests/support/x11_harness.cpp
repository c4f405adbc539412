// Test harness: a private Xvfb server and the programs started on it, temporary directories.
#include "support/x11_harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

bool wait_until(const std::function<bool()>& condition, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !condition(); usleep(50000))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

int spawn(const std::vector<std::string>& command, const std::string& display,
          const std::string& dir, int out_fd, const std::vector<std::string>& environment) {
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int pid = fork();
    if (pid != 0) return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (out_fd < 0) out_fd = open("/dev/null", O_WRONLY);
    dup2(out_fd, 1);
    dup2(out_fd, 2);
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
    for (const std::string& variable : environment) putenv(const_cast<char*>(variable.c_str()));
    if (chdir(dir.c_str()) == 0) execvp(argv[0], argv.data());
    _exit(127);
}

// A server gives up when another one (of another file system, as in a container) holds the
// display it picked; the next attempt picks another.
XvfbDisplay::XvfbDisplay(const std::string& screen) {
    for (int attempt = 0; attempt < 5 && name_.size() < 2; ++attempt) {
        int ready[2];  // the server writes its display number there once it takes connections
        if (pipe(ready) != 0) return;
        const int pid = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                               screen, "-nolisten", "tcp", "-noreset"});
        close(ready[1]);
        name_ = ":";
        for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';) name_ += c;
        close(ready[0]);
        if (name_.size() > 1)
            pids_.push_back(pid);
        else
            waitpid(pid, nullptr, 0);
    }
}

XvfbDisplay::~XvfbDisplay() {
    for (auto pid = pids_.rbegin(); pid != pids_.rend(); ++pid)
        if (*pid > 0 && kill(*pid, SIGTERM) == 0) waitpid(*pid, nullptr, 0);
}

ScratchDir::ScratchDir(Contents contents) {
    char path_template[] = "/tmp/orrery-work-XXXXXX";
    path_ = mkdtemp(path_template) != nullptr ? path_template : "";
    if (contents == with_pictures) std::filesystem::copy(ORRERY_TEXTURE_DIR, path_);
}

ScratchDir::~ScratchDir() {
    std::error_code e;
    std::filesystem::remove_all(path_, e);
}
