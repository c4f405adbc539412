// The body catalogue: what each body of the scene is made of, in drawing order.
#pragma once

#include <GL/gl.h>

#include "scene/catalogue.h"

// One body. Distances and radii are single precision, disk radii double.
struct Body {
    BodyId id;                     // selection name; the Moon carries Earth's
    int texture_index;             // into texture_names, sphere mode 1
    GLuint display_list;           // texture display list, sphere mode 2
    float orbit_distance;          // from the centre of the body it circles
    float radius;                  // sphere radius
    int count;                     // segments of the sphere in mode 1
    const double* orbit_angle;     // null for the Sun, which does not move
    const double* spin_angle;      // null for the Moon, which turns with Earth
    float axis_x, axis_y, axis_z;  // axis of the orbit rotation
    double disk_radius;            // first radius argument of its orbit disk; none for the Sun
    bool sets_colour;              // whether its block sets the colour to white
};

// Positions in the catalogue; also the drawing order of the bodies.
namespace catalogue {
enum Index : int {
    sun,
    mercury,
    venus,
    earth,
    moon,
    mars,
    jupiter,
    saturn,
    uranus,
    neptune,
    pluto,
    count
};
}

inline constexpr Body bodies[catalogue::count] = {
    // id, t, L, distance, radius, n, orbit, spin, orbit axis, disk, colour
    {101, 0, 1, 0.0f, 0.6f, 100, nullptr, &sun_spin, 0.0f, 1.0f, 0.0f, 0.0, false},
    {102, 1, 2, 1.0f, 0.13f, 100, &mercury_orbit, &mercury_spin, 0.0f, 1.0f, 0.0f, 1.0, false},
    {103, 2, 3, 2.0f, 0.22f, 30, &venus_orbit, &venus_spin, 0.0f, 1.0f, 0.0f, 2.0, true},
    {104, 3, 4, 3.0f, 0.2f, 30, &earth_orbit, &earth_spin, 0.0f, 1.0f, 0.0f, 3.0, true},
    {104, 4, 5, 0.4f, 0.07f, 30, &moon_orbit, nullptr, 0.0f, 1.0f, 0.0f, 0.4, false},
    {105, 5, 6, 4.0f, 0.16f, 30, &mars_orbit, &mars_spin, 0.0f, 1.0f, 0.0f, 4.0, true},
    {106, 6, 7, 7.0f, 0.3f, 30, &jupiter_orbit, &jupiter_spin, 0.0f, 1.0f, 0.0f, 7.0, true},
    {107, 7, 8, 9.0f, 0.25f, 30, &saturn_orbit, &saturn_spin, 0.0f, 1.0f, 0.0f, 9.0, true},
    {108, 8, 9, 11.0f, 0.23f, 30, &uranus_orbit, &uranus_spin, 0.0f, 1.0f, 0.0f, 11.0, true},
    {109, 9, 10, 14.0f, 0.21f, 30, &neptune_orbit, &neptune_spin, 0.0f, 1.0f, 0.0f, 14.0, true},
    // Pluto's orbit turns about a tilted axis, so it circles a point near its
    // orbit distance instead of the Sun.
    {110, 10, 11, 18.0f, 0.2f, 30, &pluto_orbit, &pluto_spin, 15.0f, 1.0f, 0.0f, 18.0, true},
};

// A disk placed on an orbit by its own angle: turned about (0, 1, 0),
// translated, then tilted about (1, 0, 0).
struct PlacedDisk {
    const double* angle;
    float offset[3];  // translation after the turn
    float tilt;       // degrees about (1, 0, 0)
    double inner_radius;
    double outer_radius;
};

// The Moon-orbit disk rides 3 degrees ahead of Earth and 0.1 off the orbit
// plane; Saturn's ring sits on Saturn's position.
inline constexpr PlacedDisk moon_orbit_disk = {
    &moon_disk_angle,
    {bodies[catalogue::earth].orbit_distance, 0.0f, 0.1f},
    90.0f,
    bodies[catalogue::moon].disk_radius,
    0.0};
inline constexpr PlacedDisk saturn_ring = {
    &ring_angle, {bodies[catalogue::saturn].orbit_distance, 0.0f, 0.0f}, 45.0f, 0.29, 0.5};
