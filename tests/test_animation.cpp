// Animation angles: starting values, steps, the wrap at the full turn, pause.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/window_proc.h"
#include "scene/catalogue.h"

namespace {
// Per angle: start, step, and for wrapped angles the advance of the first
// reset to 0 and the advances per revolution after it (0: never wrapped).
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
constexpr int angle_count = sizeof expected / sizeof expected[0];

// Taken before any test runs; every test starts from these.
double values_at_start[angle_count];
const bool start_recorded = [] {
    for (int k = 0; k < angle_count; ++k) values_at_start[k] = *expected[k].angle;
    return true;
}();

class Animation : public testing::Test {
   protected:
    void SetUp() override {
        for (int k = 0; k < angle_count; ++k) *expected[k].angle = values_at_start[k];
        animating = 1;
    }
};

TEST_F(Animation, StartsAtCatalogueValuesAndFirstAdvanceAddsOneStep) {
    ASSERT_TRUE(start_recorded);
    advance_orbits();
    for (int k = 0; k < angle_count; ++k) {
        EXPECT_EQ(values_at_start[k], expected[k].initial) << "angle " << k;
        EXPECT_EQ(*expected[k].angle, expected[k].initial + expected[k].step) << "angle " << k;
    }
}

// One long run: first reset and revolution length of every wrapped angle; the
// ring stays on Saturn, the Moon-orbit disk 3 degrees ahead of Earth, and spin
// angles only grow.
TEST_F(Animation, LongRunCyclesAndCouplings) {
    int resets[angle_count][2] = {};
    for (int frame = 1; frame <= 1000; ++frame) {
        double before[angle_count];
        for (int k = 0; k < angle_count; ++k) before[k] = *expected[k].angle;
        advance_orbits();
        for (int k = 0; k < angle_count; ++k) {
            const Expected& e = expected[k];
            if (e.period == 0) {
                ASSERT_GT(*e.angle, before[k]) << "spin " << k << " at frame " << frame;
            } else if (*e.angle == 0.0) {
                if (resets[k][0] == 0)
                    resets[k][0] = frame;
                else if (resets[k][1] == 0)
                    resets[k][1] = frame;
            }
        }
        ASSERT_EQ(ring_angle, saturn_orbit) << frame;
        const double lead = moon_disk_angle - earth_orbit;
        ASSERT_TRUE(lead == 3.0 || lead == -357.0) << frame << ": " << lead;
    }
    for (int k = 0; k < angle_count; ++k) {
        if (expected[k].period == 0) continue;
        EXPECT_EQ(resets[k][0], expected[k].first_reset) << "angle " << k;
        EXPECT_EQ(resets[k][1] - resets[k][0], expected[k].period) << "angle " << k;
    }
}

// The limit is the float nearest 359.95 widened: sums up to it stay, the next
// double above it is reset to exactly 0.
TEST_F(Animation, WrapLimitIsTheWidenedFloat) {
    const double kept_nearest = 359.95, kept_limit = 359.95001220703125;
    const double reset = std::nextafter(kept_limit, 400.0);
    for (double target : {kept_nearest, kept_limit, reset}) {
        earth_orbit = target - 1.0;
        advance_orbits();
        EXPECT_EQ(earth_orbit, target == reset ? 0.0 : target) << target;
    }
}

TEST_F(Animation, PausedAdvanceChangesNothing) {
    for (int k = 0; k < 5; ++k) advance_orbits();
    double before[angle_count];
    for (int k = 0; k < angle_count; ++k) before[k] = *expected[k].angle;
    animating = 0;
    advance_orbits();
    for (int k = 0; k < angle_count; ++k) {
        EXPECT_EQ(std::memcmp(&before[k], expected[k].angle, sizeof(double)), 0) << k;
    }
}
}  // namespace
