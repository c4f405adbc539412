// The 22 animation angles, their starting values and steps, and the per-frame
// advance.
#include "scene/catalogue.h"

#include "scene/scene_state.h"

namespace {
// One animation angle: where it lives, where it starts, how far it moves per
// frame, and whether it is brought back to 0 after a full turn.
struct AngleRule {
    double* angle;
    double initial;
    double step;
    bool wrapped;
};
}  // namespace

static constexpr int angle_count = 22;

// In the order advance_orbits steps them. Orbit and placement angles wrap;
// spin angles grow without bound.
static constexpr AngleRule angle_rules[angle_count] = {
    {&sun_spin, 0.68, 0.68, false},       {&mercury_orbit, 200.0, 1.8, true},
    {&mercury_spin, 58.6, 58.6, false},   {&venus_orbit, 4.0, 1.4, true},
    {&venus_spin, -243.0, 243.01, false}, {&earth_orbit, 7.0, 1.0, true},
    {&earth_spin, 1.0, 1.0, false},       {&moon_orbit, 10.0, 1.5, true},
    {&mars_orbit, 80.0, 1.35, true},      {&mars_spin, 1.0, 1.1, false},
    {&jupiter_orbit, 150.0, 1.3, true},   {&jupiter_spin, 0.41, 0.41, false},
    {&saturn_orbit, 60.0, 1.2, true},     {&saturn_spin, 0.44, 1.44, false},
    {&ring_angle, 60.0, 1.2, true},       {&uranus_orbit, 300.0, 1.1, true},
    {&uranus_spin, 0.71, 0.71, false},    {&neptune_orbit, 20.0, 0.9, true},
    {&neptune_spin, 0.67, 0.67, false},   {&pluto_orbit, 110.0, 0.8, true},
    {&pluto_spin, 6.3, 6.3, false},       {&moon_disk_angle, 10.0, 1.0, true},
};

// The float nearest 359.95, widened: 359.95001220703125. A sum equal to it or
// below it (such as the double nearest 359.95) is kept.
static constexpr double wrap_limit = static_cast<double>(359.95f);
static_assert(wrap_limit == 359.95001220703125);

// The starting value of an angle, looked up in the rule table so that every
// number of the catalogue is written once.
static constexpr double initial_value(const double* angle) {
    for (const AngleRule& rule : angle_rules) {
        if (rule.angle == angle) return rule.initial;
    }
    throw "angle missing from the rule table";
}

// ---------------------------------------------------------------------------
// The animation angles in degrees. Written only by advance_orbits; read by
// draw_scene through the body catalogue.
double sun_spin = initial_value(&sun_spin);
double mercury_orbit = initial_value(&mercury_orbit);
double mercury_spin = initial_value(&mercury_spin);
double venus_orbit = initial_value(&venus_orbit);
double venus_spin = initial_value(&venus_spin);
double earth_orbit = initial_value(&earth_orbit);
double earth_spin = initial_value(&earth_spin);
double moon_orbit = initial_value(&moon_orbit);
double mars_orbit = initial_value(&mars_orbit);
double mars_spin = initial_value(&mars_spin);
double jupiter_orbit = initial_value(&jupiter_orbit);
double jupiter_spin = initial_value(&jupiter_spin);
double saturn_orbit = initial_value(&saturn_orbit);
double saturn_spin = initial_value(&saturn_spin);
double ring_angle = initial_value(&ring_angle);
double uranus_orbit = initial_value(&uranus_orbit);
double uranus_spin = initial_value(&uranus_spin);
double neptune_orbit = initial_value(&neptune_orbit);
double neptune_spin = initial_value(&neptune_spin);
double pluto_orbit = initial_value(&pluto_orbit);
double pluto_spin = initial_value(&pluto_spin);
double moon_disk_angle = initial_value(&moon_disk_angle);

void advance_orbits() {
    if (animating == 0) return;
    for (const AngleRule& rule : angle_rules) {
        // The excess beyond the full turn is dropped, not carried over.
        const double sum = *rule.angle + rule.step;
        *rule.angle = rule.wrapped && sum > wrap_limit ? 0.0 : sum;
    }
}
