// Animation angles: first advance, the wrap at the full turn, couplings, pause.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/window_proc.h"
#include "scene/catalogue.h"

// Start, step, advance of the first reset to 0, advances per revolution (0, 0: spin, never reset).
struct Expected {
    double* angle;
    double initial, step;
    int first_reset, period;
};
const Expected expected[] = {
    {&sun_spin, 0.68, 0.68, 0, 0},        {&mercury_orbit, 200, 1.8, 89, 200},
    {&mercury_spin, 58.6, 58.6, 0, 0},    {&venus_orbit, 4, 1.4, 255, 258},
    {&venus_spin, -243, 243.01, 0, 0},    {&earth_orbit, 7, 1.0, 353, 360},
    {&earth_spin, 1, 1.0, 0, 0},          {&moon_orbit, 10, 1.5, 234, 240},
    {&mars_orbit, 80, 1.35, 208, 267},    {&mars_spin, 1, 1.1, 0, 0},
    {&jupiter_orbit, 150, 1.3, 162, 277}, {&jupiter_spin, 0.41, 0.41, 0, 0},
    {&saturn_orbit, 60, 1.2, 250, 300},   {&saturn_spin, 0.44, 1.44, 0, 0},
    {&ring_angle, 60, 1.2, 250, 300},     {&uranus_orbit, 300, 1.1, 55, 328},
    {&uranus_spin, 0.71, 0.71, 0, 0},     {&neptune_orbit, 20, 0.9, 378, 400},
    {&neptune_spin, 0.67, 0.67, 0, 0},    {&pluto_orbit, 110, 0.8, 313, 450},
    {&pluto_spin, 6.3, 6.3, 0, 0},        {&moon_disk_angle, 10, 1.0, 350, 360},
};
constexpr size_t angle_count = sizeof expected / sizeof expected[0];

// The table over 1000 advances, the ring on Saturn, the Moon-orbit disk 3 degrees ahead of Earth;
// a paused advance changes no bit; the limit is the float nearest 359.95 (the double is kept).
TEST(Animation, LongRunPauseAndWrapLimit) {
    animating = 1;
    int resets[angle_count][2] = {};
    for (int frame = 1; frame <= 1000; ++frame) {
        advance_orbits();
        for (size_t k = 0; k < angle_count; ++k) {
            const Expected& e = expected[k];
            EXPECT_TRUE(frame > 1 || *e.angle == e.initial + e.step) << k << ": " << *e.angle;
            if (*e.angle != 0.0) continue;
            ASSERT_NE(e.period, 0) << "spin " << k << " reset at frame " << frame;
            int& slot = resets[k][0] == 0 ? resets[k][0] : resets[k][1];
            if (slot == 0) slot = frame;
        }
        ASSERT_EQ(ring_angle, saturn_orbit) << frame;
        const double lead = moon_disk_angle - earth_orbit;
        ASSERT_TRUE(lead == 3.0 || lead == -357.0) << frame << ": " << lead;
    }
    double before[angle_count], after[angle_count];
    for (size_t k = 0; k < angle_count; ++k) {
        before[k] = *expected[k].angle;
        EXPECT_EQ(resets[k][0], expected[k].first_reset) << "angle " << k;
        EXPECT_EQ(resets[k][1] - resets[k][0], expected[k].period) << "angle " << k;
    }
    animating = 0;
    advance_orbits();
    for (size_t k = 0; k < angle_count; ++k) after[k] = *expected[k].angle;
    EXPECT_EQ(std::memcmp(before, after, sizeof before), 0);

    animating = 1;
    const double kept_limit = 359.95001220703125, reset = std::nextafter(kept_limit, 400.0);
    for (double target : {359.95, kept_limit, reset}) {
        earth_orbit = target - 1.0;
        advance_orbits();
        EXPECT_EQ(earth_orbit, target == reset ? 0.0 : target) << target;
    }
}
