// The browser tests' reference: one frame of the scene drawn through Mesa's
// own OpenGL 1.1 (OSMesa), at a given step of the animation and with given
// switches, written as a binary PPM (rows top down).
//   reference_frame PICTURES OUT.ppm STEPS SPHERE_MODE LIGHTING TEXTURING SOLID [TURN]
// STEPS is the number of frames the program has drawn: each drawn frame
// advances the animation once before it draws.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gl11/oracle_context.h"
#include "platform/window_system.h"
#include "render/render_state.h"
#include "scene/catalogue.h"
#include "scene/draw_scene.h"
#include "scene/scene_state.h"

// The scene's only use of the window system: a box for a picture it cannot read.
WindowHandle get_focus() { return nullptr; }
int message_box(WindowHandle, const char* text, const char* caption, unsigned) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    return IDOK;
}

int main(int argc, char** argv) {
    if (argc != 8 && argc != 9) {
        std::fprintf(
            stderr,
            "usage: %s PICTURES OUT.ppm STEPS SPHERE_MODE LIGHTING TEXTURING SOLID [TURN]\n",
            argv[0]);
        return 2;
    }
    const std::string out = std::filesystem::absolute(argv[2]).string();
    std::filesystem::current_path(argv[1]);
    const long steps = std::atol(argv[3]);
    if (steps < 1 || !open_context()) return 1;
    resize_view(800, 600);
    if (!init_render_state()) return 1;
    sphere_mode = std::atoi(argv[4]);
    lighting_on = std::uint8_t(std::atoi(argv[5]));
    texturing_on = std::uint8_t(std::atoi(argv[6]));
    solid_fill = std::uint8_t(std::atoi(argv[7]));
    if (argc == 9) view_turn = float(std::atof(argv[8]));
    animating = 1;
    for (long step = 1; step < steps; ++step) advance_orbits();
    draw_scene();
    const std::vector<unsigned char> rgb = read_frame();
    std::FILE* file = std::fopen(out.c_str(), "wb");
    if (file == nullptr) return 1;
    std::fprintf(file, "P6\n800 600\n255\n");
    for (int y = 599; y >= 0; --y) std::fwrite(&rgb[y * 800 * 3], 1, 800 * 3, file);
    std::fclose(file);
    close_context();
    return 0;
}
