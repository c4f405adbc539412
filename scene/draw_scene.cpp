// One frame of the solar system: display switches, clear, animation step, view
// transform, and the bodies, orbit disks and Saturn's ring from the catalogue.
#include "scene/draw_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "render/render_state.h"
#include "render/textures.h"
#include "scene/bodies.h"
#include "scene/catalogue.h"
#include "scene/scene_state.h"
#include "scene/selection_lists.h"
#include "scene/sphere.h"

// The Sun's centre lies this far in front of the eye before the view turns.
static constexpr float scene_distance = 22.0f;
// Turns a disk from the x-y plane into the orbit plane.
static constexpr float orbit_plane_tilt = 90.0f;
// Tessellation of the quadric spheres (mode 2) and of every disk.
static constexpr GLint quadric_sphere_slices = 100;
static constexpr GLint quadric_sphere_stacks = 100;
static constexpr GLint disk_slices = 100;
static constexpr GLint disk_loops = 1;

// Who the frame is drawn for: the screen, or the selection pass of a pick.
enum class Pass { frame, selection };

// A sphere, a disk or the ring: the frame submits it at once; the selection
// pass calls its selection list, recorded from the very same calls.
template <class Draw>
static void submit(Pass pass, int shape, const Draw& draw) {
    if (pass == Pass::selection) {
        call_selection_list(shape, draw);
    } else {
        draw();
    }
}

// Angles are kept in double precision and handed to the rotation in single.
static void rotate_y(double angle) { glRotatef(static_cast<float>(angle), 0.0f, 1.0f, 0.0f); }

// The body's sphere in the current sphere mode, centred in the current frame.
static void draw_sphere(Pass pass, const Body& body) {
    const int index = static_cast<int>(&body - bodies);
    if (sphere_mode == 1) {
        glBindTexture(GL_TEXTURE_2D, texture_names[body.texture_index]);
        submit(pass, selection_shape::uv_sphere(index),
               [&] { draw_uv_sphere(0.0f, 0.0f, 0.0f, body.radius, body.count); });
    } else if (sphere_mode == 2) {
        // The list loads the body's picture into whatever texture object is
        // bound; nothing is bound here.
        glCallList(body.display_list);
        gluQuadricTexture(quadric, GL_TRUE);
        submit(pass, selection_shape::quadric_sphere(index), [&] {
            gluSphere(quadric, static_cast<double>(body.radius), quadric_sphere_slices,
                      quadric_sphere_stacks);
        });
    }
}

// Turns the frame onto the body's orbit position and spin, then draws it.
static void place_and_draw(Pass pass, const Body& body) {
    if (body.orbit_angle != nullptr) {
        glRotatef(static_cast<float>(*body.orbit_angle), body.axis_x, body.axis_y, body.axis_z);
        glTranslatef(body.orbit_distance, 0.0f, 0.0f);
    }
    // Spins grow without bound: reduced exactly to one turn, their float keeps its fraction.
    if (body.spin_angle != nullptr) rotate_y(std::fmod(*body.spin_angle, 360.0));
    draw_sphere(pass, body);
}

// A body under its selection name, in a frame of its own taken from the scene
// root. Earth's frame also carries the Moon.
static void draw_body(Pass pass, catalogue::Index index) {
    const Body& body = bodies[index];
    glPushName(body.id);
    glPushMatrix();
    if (body.sets_colour) glColor3f(1.0f, 1.0f, 1.0f);
    place_and_draw(pass, body);
    if (index == catalogue::earth) place_and_draw(pass, bodies[catalogue::moon]);
    glPopMatrix();
    glPopName();
}

// A disk around the Sun in the orbit plane, without a name. The distance is
// the inner radius and the outer radius is 0.
static void draw_orbit_disk(Pass pass, catalogue::Index index) {
    glPushMatrix();
    glColor3ub(255, 255, 255);
    glRotatef(orbit_plane_tilt, 1.0f, 0.0f, 0.0f);
    submit(pass, selection_shape::orbit_disk(index),
           [&] { gluDisk(quadric, bodies[index].disk_radius, 0.0, disk_slices, disk_loops); });
    glPopMatrix();
}

static void draw_placed_disk(Pass pass, const PlacedDisk& disk, int shape) {
    glPushMatrix();
    glColor3ub(255, 255, 255);
    rotate_y(*disk.angle);
    glTranslatef(disk.offset[0], disk.offset[1], disk.offset[2]);
    glRotatef(disk.tilt, 1.0f, 0.0f, 0.0f);
    submit(pass, shape, [&] {
        gluDisk(quadric, disk.inner_radius, disk.outer_radius, disk_slices, disk_loops);
    });
    glPopMatrix();
}

static void draw_planet_with_disk(Pass pass, catalogue::Index index) {
    draw_body(pass, index);
    draw_orbit_disk(pass, index);
}

static void draw_frame(Pass pass) {
    glPolygonMode(GL_FRONT_AND_BACK, solid_fill != 0 ? GL_FILL : GL_LINE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (texturing_on != 0) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    if (lighting_on != 0) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
    glLoadIdentity();
    advance_orbits();
    glInitNames();

    // The scene root: every body and disk below starts from this frame.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, -scene_distance);
    glRotatef(view_tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(view_turn, 0.0f, 1.0f, 0.0f);
    glRotatef(view_roll, 0.0f, 0.0f, 1.0f);
    glScalef(view_scale, view_scale, view_scale);

    draw_body(pass, catalogue::sun);
    draw_planet_with_disk(pass, catalogue::mercury);
    draw_planet_with_disk(pass, catalogue::venus);
    draw_body(pass, catalogue::earth);  // with the Moon inside its frame
    draw_placed_disk(pass, moon_orbit_disk, selection_shape::moon_orbit_disk);
    draw_orbit_disk(pass, catalogue::earth);
    draw_planet_with_disk(pass, catalogue::mars);
    draw_planet_with_disk(pass, catalogue::jupiter);
    draw_planet_with_disk(pass, catalogue::saturn);
    draw_placed_disk(pass, saturn_ring, selection_shape::saturn_ring);
    draw_planet_with_disk(pass, catalogue::uranus);
    draw_planet_with_disk(pass, catalogue::neptune);
    draw_planet_with_disk(pass, catalogue::pluto);

    glPopMatrix();
}

bool draw_scene() {
    draw_frame(Pass::frame);
    return true;
}

void draw_scene_for_selection() { draw_frame(Pass::selection); }
