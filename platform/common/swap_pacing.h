// The arithmetic of the layer's own frame pacing, as a value that knows no
// clock and no display: the caller feeds it counter readings and the refresh
// period, and it answers how long to wait before each swap.
//
// Pacing is on while swaps come back in well under a period without it (the
// driver ignores the swap interval: llvmpipe under Xvfb, many virtual machines
// and remote desktops), and off again once the swap call itself is seen to
// wait for the display, so that the frames are never paced twice.
#pragma once

#include <cstdint>

class SwapPacing {
   public:
    // A new refresh period in counter ticks (a new window, display or mode):
    // the measurement starts over, unpaced.
    void set_period(std::uint64_t period);
    std::uint64_t period() const { return period_; }
    bool pacing() const { return pacing_; }
    // Ticks to wait at `now` before the next swap is due; 0 when unpaced.
    std::uint64_t wait_before_swap(std::uint64_t now) const;
    // A swap was made: it began at `began` (after any wait) and the swap call
    // returned at `returned`.
    void swap_done(std::uint64_t began, std::uint64_t returned);

   private:
    std::uint64_t period_ = 0;
    std::uint64_t next_due_ = 0;       // when the next paced swap is due
    std::uint64_t last_returned_ = 0;  // when the last swap call returned; 0 before the first
    int blocked_swaps_ = 0;            // paced swaps in a row whose call itself waited
    bool pacing_ = false;
};
