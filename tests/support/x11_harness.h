// Test harness: a private Xvfb server and the programs started on it, temporary directories.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every 50 ms until it holds (true) or `seconds` have passed (false).
bool wait_until(const std::function<bool()>& condition, double seconds = 20);

// Starts `command` in `dir` with DISPLAY set (unless empty), `environment` (NAME=value) added and
// standard output and error on `out_fd` (-1: nowhere); the child ends with this process.
int spawn(const std::vector<std::string>& command, const std::string& display = "",
          const std::string& dir = ".", int out_fd = -1,
          const std::vector<std::string>& environment = {});

class XvfbDisplay {  // an Xvfb server on a free display number; ends the programs started on it
   public:
    explicit XvfbDisplay(const std::string& screen = "1024x768x24");
    ~XvfbDisplay();
    const std::string& name() const { return name_; }  // e.g. ":7"
    void start(const std::vector<std::string>& command,
               const std::vector<std::string>& environment = {}) {
        pids_.push_back(spawn(command, name_, ".", -1, environment));
    }

   private:
    std::string name_;
    std::vector<int> pids_;  // the server first
};

class ScratchDir {  // a private temporary directory, empty or with the planet pictures
   public:
    enum Contents { empty, with_pictures };
    explicit ScratchDir(Contents contents = empty);
    ~ScratchDir();
    const std::string& path() const { return path_; }

   private:
    std::string path_;
};
