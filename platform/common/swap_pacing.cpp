#include "platform/common/swap_pacing.h"

void SwapPacing::set_period(std::uint64_t period) { *this = SwapPacing{}, period_ = period; }

std::uint64_t SwapPacing::wait_before_swap(std::uint64_t now) const {
    if (!pacing_ || now >= next_due_) return 0;
    return next_due_ - now;
}

void SwapPacing::swap_done(std::uint64_t began, std::uint64_t returned) {
    if (period_ == 0) return;
    const std::uint64_t interval = last_returned_ == 0 ? period_ : returned - last_returned_;
    last_returned_ = returned;
    if (!pacing_) {
        // "Well under a period": a quarter short of it. A driver that waits
        // for the display gives intervals of one period, give or take its
        // jitter; one that does not gives whatever drawing takes.
        if (interval * 4 < period_ * 3) {
            pacing_ = true;
            blocked_swaps_ = 0;
            next_due_ = returned + period_;
        }
        return;
    }
    // A swap call that by itself took half a period or more, twice in a row,
    // waited for the display: the driver paces, and waiting as well would
    // miss every other refresh. (Once alone can be a busy machine.)
    blocked_swaps_ = (returned - began) * 2 >= period_ ? blocked_swaps_ + 1 : 0;
    if (blocked_swaps_ >= 2) {
        pacing_ = false;
        return;
    }
    // On time or late by less than a period, the next swap is due one period
    // after this one was; late by a period or more, one period from now: a
    // slow frame is not made up for with a burst of fast ones. A swap made
    // before its time (nobody waited for it) counts from when it was made.
    const bool very_late = began >= next_due_ + period_;
    next_due_ = (very_late || began < next_due_ ? began : next_due_) + period_;
}
