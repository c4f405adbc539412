// Test harness: waits on conditions, a private Xvfb server, temporary directories.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

// Polls `condition` every 50 ms until it holds (true) or `seconds` have passed (false).
inline bool wait_until(const std::function<bool()>& condition, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !condition(); usleep(50000))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

// An Xvfb server on a free display number (tried again where another container holds the number),
// ended with the object or this process.
class XvfbDisplay {
   public:
    explicit XvfbDisplay(const std::string& screen) {
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
    ~XvfbDisplay() {
        if (name_.size() > 1 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    }
    const std::string& name() const { return name_; }  // e.g. ":7"

   private:
    std::string name_;
    int pid_ = -1;
};

class ScratchDir {  // a private temporary directory, empty or with the planet pictures
   public:
    enum Contents { empty, with_pictures };
    explicit ScratchDir(Contents contents = empty) {
        char path_template[] = "/tmp/orrery-work-XXXXXX";
        path_ = mkdtemp(path_template) != nullptr ? path_template : "";
        if (contents == with_pictures) std::filesystem::copy(ORRERY_TEXTURE_DIR, path_);
    }
    ~ScratchDir() {
        std::error_code e;
        std::filesystem::remove_all(path_, e);
    }
    const std::string& path() const { return path_; }

   private:
    std::string path_;
};
