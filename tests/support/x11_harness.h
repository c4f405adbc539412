// Test harness: waits on conditions, a private Xvfb server, temporary directories.
#pragma once

#include <functional>
#include <string>

// Polls `condition` every 50 ms until it holds (true) or `seconds` have passed (false).
bool wait_until(const std::function<bool()>& condition, double seconds = 20);

class XvfbDisplay {  // an Xvfb server on a free display number, ended with the object
   public:
    explicit XvfbDisplay(const std::string& screen);
    ~XvfbDisplay();
    const std::string& name() const { return name_; }  // e.g. ":7"

   private:
    std::string name_;
    int pid_ = -1;
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
