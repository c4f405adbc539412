// A finished glBegin/glEnd: drawn through ES 2 in render mode, tested for hits
// in selection mode. Polygons are filled as triangle fans of their boundary, or
// outlined by their boundary edges in line mode (a quadrilateral's diagonal is
// no edge of it).
#include "platform/gl11/primitives.h"

#include "platform/gl11/context.h"

EsPrimitive drawn_kind(GLenum mode, GLenum polygon_mode) {
    if (is_polygon_primitive(mode)) {
        return polygon_mode == GL_LINE   ? EsPrimitive::lines
               : polygon_mode == GL_FILL ? EsPrimitive::triangles
                                         : EsPrimitive::points;
    }
    return mode == GL_POINTS ? EsPrimitive::points : EsPrimitive::lines;
}

void append_indices(GLenum mode, EsPrimitive kind, std::size_t count, std::uint16_t base,
                    std::vector<std::uint16_t>& out) {
    const auto add = [&](int index) { out.push_back(static_cast<std::uint16_t>(base + index)); };
    if (kind == EsPrimitive::points) {
        for (std::size_t i = 0; i < count; ++i) add(int(i));
    } else if (!is_polygon_primitive(mode)) {
        for_each_line(mode, count, [&](int a, int b) { add(a), add(b); });
    } else if (kind == EsPrimitive::triangles) {
        for_each_polygon(mode, count, [&](const int* p, int n) {
            for (int i = 1; i + 1 < n; ++i) add(p[0]), add(p[i]), add(p[i + 1]);
        });
    } else {
        for_each_polygon(mode, count, [&](const int* p, int n) {
            for (int i = 0; i < n; ++i) add(p[i]), add(p[(i + 1) % n]);
        });
    }
}

void submit_primitive(Gl11Context& c, GLenum mode, const std::vector<EsVertex>& vertices) {
    if (c.render_mode == GL_SELECT) {
        select_primitive(c, mode, vertices.data(), vertices.size());
        return;
    }
    if (c.render_mode != GL_RENDER || vertices.empty()) return;
    // Each primitive is drawn with 16-bit indices of its own vertices.
    if (vertices.size() > 65536) return;
    const EsPrimitive kind = drawn_kind(mode, c.polygon_mode_front);
    EsRenderer& r = c.renderer;
    const std::uint16_t base = es_begin_batch(r, draw_state(c), kind, vertices.size());
    r.vertices.insert(r.vertices.end(), vertices.begin(), vertices.end());
    append_indices(mode, kind, vertices.size(), base, r.indices);
}
