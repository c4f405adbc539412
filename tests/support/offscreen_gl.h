// A real offscreen Mesa (OSMesa) rendering context for GL tests: RGBA colour,
// a 16-bit depth buffer, made current on construction, destroyed with the
// object.
#pragma once

#include <cstdint>
#include <vector>

class OffscreenGl {
   public:
    explicit OffscreenGl(int width = 800, int height = 600);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    // The colour buffer, RGBA bytes, bottom row first (after glFinish).
    const std::vector<std::uint8_t>& pixels();
    // Makes this context current again (after another one was).
    void make_current();

   private:
    void* context_ = nullptr;
    int width_;
    int height_;
    std::vector<std::uint8_t> buffer_;
};
