// Test harness: waits on conditions, a private Xvfb server, temporary directories, recorded boxes.
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdio>
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
// Starts a private Xvfb server as the DISPLAY, ended with this process; tried again where another
// container holds the display number the server picked (it then ends without writing the number).
inline bool start_xvfb(const std::string& screen) {
    const std::string command = "exec setpriv --pdeathsig TERM Xvfb -displayfd 1 -screen 0 " +
                                screen + " -nolisten tcp -noreset 2>/dev/null";
    for (int attempt = 0; attempt < 5; ++attempt) {
        FILE* server = popen(command.c_str(), "r");  // left open: closing it waits for the server
        if (server == nullptr) return false;
        int number = -1;
        if (std::fscanf(server, "%d", &number) == 1)
            return setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1) == 0;
        pclose(server);
    }
    return false;
}
struct ScratchDir {  // a private temporary directory, empty or with the planet pictures
    explicit ScratchDir(bool pictures = false) {
        char path_template[] = "/tmp/orrery-work-XXXXXX";
        path = mkdtemp(path_template) != nullptr ? path_template : "";
        if (pictures) std::filesystem::copy(ORRERY_TEXTURE_DIR, path);
    }
    ~ScratchDir() { std::filesystem::remove_all(path, ignored); }
    std::string path;
    std::error_code ignored;
};
using Texts = std::vector<std::string>;
struct RecordedBox {
    WindowHandle owner;
    std::string text, caption;
    unsigned flags;
};
struct MessageBoxRecorder {  // while it lives, boxes are recorded, answered IDOK or (Yes/No) IDYES
    MessageBoxRecorder() { seam::replace_boxes(record); }
    ~MessageBoxRecorder() { seam::replace_boxes(nullptr), clear(); }
    void clear() { boxes.clear(); }
    static int record(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
        boxes.push_back({owner, text, caption, flags});
        return (flags & 0x0F) == MB_YESNO ? IDYES : IDOK;
    }
    static inline std::vector<RecordedBox> boxes;
};
