// Selection mode, on the CPU: every primitive is carried into clip space,
// clipped to the view volume (which the pick matrix narrows to the pick
// region), and whatever survives is a hit whose window depths widen the
// current hit range. A hit record is written when the name stack changes and
// when selection mode ends: the count of names, the least and greatest depth
// scaled to 0 .. 2^32 - 1, then the names from the bottom of the stack.
#include <GL/gl.h>

#include <array>
#include <cmath>

#include "platform/gl11/context.h"
#include "platform/gl11/primitives.h"

// OpenGL's least guaranteed depth of the name stack.
static constexpr std::size_t name_stack_limit = 64;

using ClipVertex = std::array<double, 4>;

static void put_word(Gl11Context& c, GLuint word) {
    if (c.select_buffer != nullptr && c.select_used < c.select_size) {
        c.select_buffer[c.select_used++] = word;
    } else {
        c.select_overflow = true;
    }
}

static GLuint scaled_depth(double z) {
    const double scaled = std::nearbyint(std::fmin(std::fmax(z, 0.0), 1.0) * 4294967295.0);
    return static_cast<GLuint>(scaled);
}

// Writes the record of the hits since the last one, if there were any.
static void write_hit_record(Gl11Context& c) {
    if (!c.hit) return;
    put_word(c, static_cast<GLuint>(c.name_stack.size()));
    put_word(c, scaled_depth(c.hit_min));
    put_word(c, scaled_depth(c.hit_max));
    for (GLuint name : c.name_stack) put_word(c, name);
    ++c.hit_records;
    c.hit = false;
    c.hit_min = 1.0, c.hit_max = 0.0;
}

static void hit_at(Gl11Context& c, const ClipVertex& v) {
    const double z = v[2] / v[3] * 0.5 + 0.5;
    c.hit = true;
    c.hit_min = std::fmin(c.hit_min, z);
    c.hit_max = std::fmax(c.hit_max, z);
}

// Signed distance of a vertex inside clip plane `plane` (0..5: -x, +x, -y,
// +y, -z, +z); negative outside.
static double inside(const ClipVertex& v, int plane) {
    const int axis = plane / 2;
    return plane % 2 == 0 ? v[3] + v[axis] : v[3] - v[axis];
}

static ClipVertex between(const ClipVertex& a, const ClipVertex& b, double t) {
    ClipVertex v;
    for (int i = 0; i < 4; ++i) v[i] = a[i] + (b[i] - a[i]) * t;
    return v;
}

// The polygon clipped to the view volume, plane after plane.
static std::vector<ClipVertex> clip_polygon(std::vector<ClipVertex> polygon) {
    std::vector<ClipVertex> next;
    for (int plane = 0; plane < 6 && !polygon.empty(); ++plane) {
        next.clear();
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const ClipVertex& a = polygon[i];
            const ClipVertex& b = polygon[(i + 1) % polygon.size()];
            const double da = inside(a, plane), db = inside(b, plane);
            if (da >= 0) next.push_back(a);
            if ((da >= 0) != (db >= 0)) next.push_back(between(a, b, da / (da - db)));
        }
        polygon.swap(next);
    }
    return polygon;
}

// The segment clipped to the view volume; false when nothing of it is inside.
static bool clip_line(ClipVertex& a, ClipVertex& b) {
    double t0 = 0.0, t1 = 1.0;
    for (int plane = 0; plane < 6; ++plane) {
        const double da = inside(a, plane), db = inside(b, plane);
        if (da < 0 && db < 0) return false;
        if (da < 0) t0 = std::fmax(t0, da / (da - db));
        if (db < 0) t1 = std::fmin(t1, da / (da - db));
    }
    if (t0 > t1) return false;
    const ClipVertex start = between(a, b, t0), end = between(a, b, t1);
    a = start, b = end;
    return true;
}

// One bit for each clip plane the vertex lies outside of.
static unsigned outside_planes(const ClipVertex& v) {
    unsigned planes = 0;
    for (int plane = 0; plane < 6; ++plane) planes |= (inside(v, plane) < 0 ? 1u : 0u) << plane;
    return planes;
}

bool box_outside_view(Gl11Context& c, const float* low, const float* high) {
    const Matrix mvp = multiply(c.projection.top(), c.modelview.top());
    unsigned all = ~0u;
    for (int corner = 0; corner < 8 && all != 0; ++corner) {
        const double object[4] = {(corner & 1) != 0 ? high[0] : low[0],
                                  (corner & 2) != 0 ? high[1] : low[1],
                                  (corner & 4) != 0 ? high[2] : low[2], 1.0};
        const ClipVertex v = transform(mvp, object);
        // Clearly outside: a vertex within the box cannot round to inside.
        unsigned planes = 0;
        for (int plane = 0; plane < 6; ++plane)
            planes |= (inside(v, plane) < -1e-9 * std::fabs(v[3]) ? 1u : 0u) << plane;
        all &= planes;
    }
    return all != 0;
}

void select_primitive(Gl11Context& c, GLenum mode, const EsVertex* vertices, std::size_t count) {
    const Matrix mvp = multiply(c.projection.top(), c.modelview.top());
    std::vector<ClipVertex> clip(count);
    std::vector<unsigned> outside(count);
    for (std::size_t i = 0; i < count; ++i) {
        const float* p = vertices[i].position;
        const double object[4] = {p[0], p[1], p[2], 1.0};
        clip[i] = transform(mvp, object);
        outside[i] = outside_planes(clip[i]);
    }
    // Shapes wholly outside one plane are passed over, shapes wholly inside
    // taken as they are; only the others are clipped.
    const auto line = [&](int a, int b) {
        if ((outside[a] & outside[b]) != 0) return;
        ClipVertex from = clip[a], to = clip[b];
        if ((outside[a] | outside[b]) == 0 || clip_line(from, to)) hit_at(c, from), hit_at(c, to);
    };
    if (mode == GL_POINTS) {
        for (std::size_t i = 0; i < clip.size(); ++i) {
            if (outside[i] == 0) hit_at(c, clip[i]);
        }
    } else if (!is_polygon_primitive(mode)) {
        for_each_line(mode, clip.size(), line);
    } else if (c.polygon_mode_front == GL_LINE) {
        // Outlined, a polygon is its boundary edges: edges made by the
        // clipping are not drawn and hit nothing.
        for_each_polygon(mode, clip.size(), [&](const int* p, int n) {
            for (int i = 0; i < n; ++i) line(p[i], p[(i + 1) % n]);
        });
    } else {
        std::vector<ClipVertex> polygon;
        for_each_polygon(mode, clip.size(), [&](const int* p, int n) {
            unsigned all = ~0u, any = 0;
            for (int i = 0; i < n; ++i) all &= outside[p[i]], any |= outside[p[i]];
            if (all != 0) return;
            polygon.assign(n, ClipVertex{});
            for (int i = 0; i < n; ++i) polygon[i] = clip[p[i]];
            if (any != 0) polygon = clip_polygon(polygon);
            for (const ClipVertex& v : polygon) hit_at(c, v);
        });
    }
}

void gl11_select_buffer(GLsizei size, GLuint* buffer) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->render_mode == GL_SELECT || size < 0) return;
    c->select_buffer = buffer;
    c->select_size = size;
}

GLint gl11_render_mode(GLenum mode) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->inside_begin || (mode != GL_RENDER && mode != GL_SELECT)) return 0;
    GLint result = 0;
    if (c->render_mode == GL_SELECT) {
        write_hit_record(*c);
        result = c->select_overflow ? -1 : c->hit_records;
    }
    c->render_mode = mode;
    c->select_used = 0;
    c->select_overflow = false;
    c->hit_records = 0;
    c->name_stack.clear();
    c->hit = false;
    c->hit_min = 1.0, c->hit_max = 0.0;
    return result;
}

// The name stack changes only in selection mode.
void gl11_init_names() {
    Gl11Context* c = current_context();
    if (c == nullptr || c->render_mode != GL_SELECT) return;
    write_hit_record(*c);
    c->name_stack.clear();
}

void gl11_push_name(GLuint name) {
    Gl11Context* c = current_context();
    if (c == nullptr || c->render_mode != GL_SELECT) return;
    write_hit_record(*c);
    if (c->name_stack.size() < name_stack_limit) c->name_stack.push_back(name);
}

void gl11_pop_name() {
    Gl11Context* c = current_context();
    if (c == nullptr || c->render_mode != GL_SELECT) return;
    write_hit_record(*c);
    if (!c->name_stack.empty()) c->name_stack.pop_back();
}
