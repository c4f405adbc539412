// Test harness: waits on conditions, a private Xvfb server, temporary directories, recorded boxes.
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
#include <vector>

#include "support/layer_seam.h"

// Polls `condition` every 50 ms until it holds (true) or `seconds` have passed (false).
inline bool wait_until(const std::function<bool()>& condition, double seconds = 20) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !condition(); usleep(50000))
        if (std::chrono::steady_clock::now() >= end) return false;
    return true;
}

// An Xvfb server on a free display number (tried again where another container holds the number),
// made the DISPLAY; ended with the object or this process.
class XvfbDisplay {
   public:
    explicit XvfbDisplay(const std::string& screen) {
        std::string name;
        for (int attempt = 0; attempt < 5 && name.size() < 2; ++attempt) {
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
            name = ":";
            for (char c = 0; read(ready[0], &c, 1) == 1 && c != '\n';) name += c;
            close(ready[0]);
            if (name.size() < 2) waitpid(pid_, nullptr, 0), pid_ = 0;
        }
        setenv("DISPLAY", name.c_str(), 1);
    }
    ~XvfbDisplay() {
        if (pid_ > 0 && kill(pid_, SIGTERM) == 0) waitpid(pid_, nullptr, 0);
    }

   private:
    int pid_ = 0;
};
struct ScratchDir {  // a private temporary directory, empty or with the planet pictures
    enum Contents { empty, with_pictures };
    explicit ScratchDir(Contents contents = empty) {
        char path_template[] = "/tmp/orrery-work-XXXXXX";
        path = mkdtemp(path_template) != nullptr ? path_template : "";
        if (contents == with_pictures) std::filesystem::copy(ORRERY_TEXTURE_DIR, path);
    }
    ~ScratchDir() {
        std::error_code e;
        std::filesystem::remove_all(path, e);
    }
    std::string path;
};
// While it lives, boxes are recorded, answered IDOK or (Yes/No) with the chosen button.
struct RecordedBox {
    WindowHandle owner;
    std::string text, caption;
    unsigned flags;
};

class MessageBoxRecorder {
   public:
    MessageBoxRecorder() { seam::replace_boxes(record); }
    ~MessageBoxRecorder() { seam::replace_boxes(nullptr), clear(), answer_yes_no_with(IDYES); }
    void answer_yes_no_with(int answer) { yes_no_answer_ = answer; }
    const std::vector<RecordedBox>& boxes() const { return boxes_; }
    void clear() { boxes_.clear(); }

   private:
    static int record(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
        boxes_.push_back({owner, text, caption, flags});
        return (flags & 0x0F) == MB_YESNO ? yes_no_answer_ : IDOK;
    }
    static inline std::vector<RecordedBox> boxes_;
    static inline int yes_no_answer_ = IDYES;
};
