// The bodies of the scene and their animation angles.
#pragma once

#include <cstdint>

using BodyId = std::uint32_t;

// The 22 animation angles in degrees, double precision. Written only by
// advance_orbits; read by the scene drawing.
extern double sun_spin, mercury_orbit, mercury_spin, venus_orbit, venus_spin, earth_orbit,
    earth_spin, moon_orbit, mars_orbit, mars_spin, jupiter_orbit, jupiter_spin, saturn_orbit,
    saturn_spin, ring_angle, uranus_orbit, uranus_spin, neptune_orbit, neptune_spin, pluto_orbit,
    pluto_spin, moon_disk_angle;

// Advances every angle by its step while `animating` is set.
void advance_orbits();
