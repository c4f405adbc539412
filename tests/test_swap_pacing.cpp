// The swap pacing's arithmetic, on a clock of a million ticks a second.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/common/swap_pacing.h"
using Ticks = std::vector<std::uint64_t>;
// At 60 Hz (16666 ticks) from 3000: on time keeps the cadence; late by under a period, due a period
// after the missed time, by more a period after the swap; late asked, no wait; made early, the next
// a period after. A swap call of half a period or more waited for the display: twice in a row ends
// the pacing, and swaps a period apart do not start it again.
TEST(SwapPacingTest, OnTimeLateVeryLateAndWaitedForSwaps) {
    SwapPacing pacing;  // swaps back at 1000 and 3000, taking no time themselves
    pacing.set_period(16666), pacing.swap_done(1000, 1000), pacing.swap_done(3000, 3000);
    Ticks waits;
    const auto wait = [&](std::uint64_t now) { waits.push_back(pacing.wait_before_swap(now)); };
    wait(5000), pacing.swap_done(19666, 19700);   // on time: next due at 36332
    wait(20000), pacing.swap_done(41332, 41400);  // 5000 late: next due at 52998
    wait(42000), pacing.swap_done(70664, 70700);  // 17666 late: next due at 87330
    wait(71000), wait(90000);
    pacing.swap_done(90000, 90000);               // 2670 late: next due at 103996
    pacing.swap_done(95000, 95000), wait(96000);  // made without waiting: next due at 111666
    EXPECT_EQ(waits, Ticks({14666, 16332, 10998, 16330, 0, 15666}));
    pacing.swap_done(111666, 120666);  // 9000 in the call: still paced, due at 128332
    EXPECT_EQ(Ticks({pacing.pacing(), pacing.wait_before_swap(122000)}), Ticks({1, 6332}));
    pacing.swap_done(128332, 138332);  // 10000 in the call
    pacing.swap_done(138332, 154998);  // the driver's own period
    EXPECT_EQ(Ticks({pacing.pacing(), pacing.wait_before_swap(155000)}), Ticks({0, 0}));
}
