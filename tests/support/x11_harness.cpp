// Test harness: waits on conditions, a private Xvfb server, temporary directories.
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

// Tried again where another container holds the number; the server ends with this process.
XvfbDisplay::XvfbDisplay(const std::string& screen) {
    for (int attempt = 0; attempt < 5 && name_.size() < 2; ++attempt) {
        int ready[2];  // the server writes its display number there once it takes connections
        if (pipe(ready) != 0) return;
        const std::string fd = std::to_string(ready[1]);
        if ((pid_ = fork()) == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            dup2(open("/dev/null", O_WRONLY), 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                   "-nolisten", "tcp", "-noreset", nullptr);
            _exit(127);
        }
        close(ready[1]);
        name_ = ":";
        for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';) name_ += c;
        close(ready[0]);
        if (name_.size() < 2) waitpid(pid_, nullptr, 0);
    }
}

XvfbDisplay::~XvfbDisplay() {
    if (name_.size() > 1 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
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
