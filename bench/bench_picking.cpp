// Time of one pick on the Sun in both sphere modes on an 800x600 offscreen
// Mesa context: the pick as the program makes it, whose selection pass calls
// display lists, next to the same pass drawing the frame's own way (every
// vertex submitted anew), as picks were made before the lists. The second
// kind keeps its vertices on Mesa 22.3, so its runs are short.
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
#include "scene/draw_scene.h"
#include "scene/picking.h"
#include "support/layer_seam.h"

namespace {
constexpr int width = 800, height = 600;
constexpr int sun_x = 400, sun_y = 300;
constexpr int runs_as_before = 40;  // about 7 MB kept a pick in mode 2 on Mesa 22.3

// Milliseconds per pick of each benchmark, the best of its runs.
std::map<std::string, double> ms_per_pick;

template <typename Pick>
void measure(benchmark::State& state, const std::string& name, Pick pick) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) pick();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    const double ms = spent.count() / static_cast<double>(state.iterations());
    const auto known = ms_per_pick.find(name);
    if (known == ms_per_pick.end() || ms < known->second) ms_per_pick[name] = ms;
}

// The whole pick, box included (answered at once).
void bench_pick(benchmark::State& state) {
    sphere_mode = static_cast<int>(state.range(0));
    measure(state, "lists " + std::to_string(sphere_mode), [] { pick_at(sun_x, sun_y); });
}

// The same pick region and projection, with the frame drawn as the screen gets it.
void bench_pick_as_before(benchmark::State& state) {
    sphere_mode = static_cast<int>(state.range(0));
    measure(state, "before " + std::to_string(sphere_mode), [] {
        GLuint buffer[64];
        GLint viewport[4];
        glSelectBuffer(64, buffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glRenderMode(GL_SELECT);
        glLoadIdentity();
        gluPickMatrix(sun_x, viewport[3] - sun_y, 2.0, 2.0, viewport);
        gluPerspective(field_of_view, static_cast<double>(aspect_ratio),
                       static_cast<double>(near_plane), far_plane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        draw_scene();
        benchmark::DoNotOptimize(glRenderMode(GL_RENDER));
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    });
}

BENCHMARK(bench_pick)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(bench_pick_as_before)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(runs_as_before)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

int answer_box(WindowHandle, const char*, const char*, unsigned) { return IDOK; }

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
    seam::replace_boxes(answer_box);
    resize_view(width, height);
    init_render_state();
    animating = 0;
    // The first pick of each mode records its lists and compiles the
    // rasteriser's variants: kept out of the measurements.
    for (int mode : {1, 2}) sphere_mode = mode, pick_at(sun_x, sun_y);

    benchmark::RunSpecifiedBenchmarks();

    std::printf("\n%-6s %16s %16s %8s\n", "mode", "pick ms (lists)", "pick ms (before)", "ratio");
    for (int mode : {1, 2}) {
        const auto lists = ms_per_pick.find("lists " + std::to_string(mode));
        const auto before = ms_per_pick.find("before " + std::to_string(mode));
        if (lists == ms_per_pick.end() || before == ms_per_pick.end()) continue;
        std::printf("%-6d %16.2f %16.2f %8.1f\n", mode, lists->second, before->second,
                    before->second / lists->second);
    }
    glFinish();
    OSMesaDestroyContext(context);
    benchmark::Shutdown();
    return 0;
}
