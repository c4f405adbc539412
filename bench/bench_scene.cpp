// Frame cost of the scene in both sphere modes on an 800x600 offscreen Mesa
// context, next to a bare loop that issues the same spheres and nothing else.
#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/window_proc.h"
#include "render/render_state.h"
#include "render/textures.h"
#include "scene/bodies.h"
#include "scene/draw_scene.h"
#include "scene/sphere.h"

namespace {
constexpr int width = 800, height = 600;
constexpr int image_width = 512, image_height = 256;  // the size of the planet pictures

// Milliseconds per frame of each benchmark, for the summary table: the best
// of its runs, since the machine's other load only ever adds time.
std::map<std::string, double> ms_per_frame;

// Runs `frame` until the library is satisfied; each frame is finished so that
// the rasteriser's threads are part of the cost.
template <typename Frame>
void measure(benchmark::State& state, const std::string& name, Frame frame) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        frame();
        glFinish();
    }
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    const double ms = spent.count() / static_cast<double>(state.iterations());
    if (state.iterations() >= 10) {
        const auto known = ms_per_frame.find(name);
        if (known == ms_per_frame.end() || ms < known->second) ms_per_frame[name] = ms;
    }
    state.counters["fps"] = 1000.0 / ms;
}

void bench_scene(benchmark::State& state) {
    sphere_mode = static_cast<int>(state.range(0));
    measure(state, "scene " + std::to_string(sphere_mode), [] { draw_scene(); });
}

// The same eleven spheres at their places, with the same clear, lighting,
// depth test and texturing, but no disks, ring, names or animation.
void bench_bare_spheres(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    static const std::vector<unsigned char> picture(image_width * image_height * 3, 128);
    measure(state, "bare " + std::to_string(mode), [mode] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -22.0f);
        glRotatef(view_tilt, 1.0f, 0.0f, 0.0f);
        for (int k = 0; k < catalogue::count; ++k) {
            const Body& body = bodies[k];
            glPushMatrix();
            if (k == catalogue::moon) glTranslatef(bodies[catalogue::earth].orbit_distance, 0, 0);
            glTranslatef(body.orbit_distance, 0.0f, 0.0f);
            if (mode == 1) {
                glBindTexture(GL_TEXTURE_2D, texture_names[body.texture_index]);
                draw_uv_sphere(0.0f, 0.0f, 0.0f, body.radius, body.count);
            } else {
                glTexImage2D(GL_TEXTURE_2D, 0, 3, image_width, image_height, 0, GL_RGB,
                             GL_UNSIGNED_BYTE, picture.data());
                gluQuadricTexture(quadric, GL_TRUE);
                gluSphere(quadric, body.radius, 100, 100);
            }
            glPopMatrix();
        }
    });
}

BENCHMARK(bench_scene)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(bench_bare_spheres)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// The planet pictures live beside the sources.
std::string texture_directory() {
    std::string path = __FILE__;
    return path.substr(0, path.rfind('/')) + "/../data/textures";
}
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::vector<unsigned char> buffer(width * height * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    if (context == nullptr ||
        !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        std::fprintf(stderr, "no offscreen Mesa context\n");
        return 1;
    }
    if (chdir(texture_directory().c_str()) != 0) std::perror("planet pictures");
    resize_view(width, height);
    init_render_state();
    // llvmpipe compiles its shader variants during the first frames of each
    // mode (once per machine when its shader cache is empty): keep that out of
    // the measurements.
    for (int mode : {1, 2}) {
        sphere_mode = mode;
        for (int frame = 0; frame < 3; ++frame) draw_scene();
    }
    glFinish();

    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-6s %12s %8s %12s %8s %8s\n", "mode", "scene ms", "fps", "bare ms", "fps",
                "ratio");
    for (int mode : {1, 2}) {
        const auto scene = ms_per_frame.find("scene " + std::to_string(mode));
        const auto bare = ms_per_frame.find("bare " + std::to_string(mode));
        if (scene == ms_per_frame.end() || bare == ms_per_frame.end()) continue;
        std::printf("%-6d %12.2f %8.1f %12.2f %8.1f %8.2f\n", mode, scene->second,
                    1000.0 / scene->second, bare->second, 1000.0 / bare->second,
                    scene->second / bare->second);
    }
    glFinish();
    OSMesaDestroyContext(context);
    benchmark::Shutdown();
    return 0;
}
