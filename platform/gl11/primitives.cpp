// A finished glBegin/glEnd: drawn through ES 2 in render mode, tested for hits
// in selection mode. Polygons are filled as triangle fans of their boundary, or
// outlined by their boundary edges in line mode (a quadrilateral's diagonal is
// no edge of it).
#include "platform/gl11/primitives.h"

#include "platform/gl11/context.h"

void submit_primitive(Gl11Context& c, GLenum mode, const std::vector<EsVertex>& vertices) {
    if (c.render_mode == GL_SELECT) {
        select_primitive(c, mode, vertices);
        return;
    }
    if (c.render_mode != GL_RENDER || vertices.empty()) return;
    // Each primitive is drawn with 16-bit indices of its own vertices.
    if (vertices.size() > 65536) return;

    EsPrimitive kind = EsPrimitive::points;
    if (is_polygon_primitive(mode)) {
        kind = c.polygon_mode_front == GL_LINE   ? EsPrimitive::lines
               : c.polygon_mode_front == GL_FILL ? EsPrimitive::triangles
                                                 : EsPrimitive::points;
    } else if (mode != GL_POINTS) {
        kind = EsPrimitive::lines;
    }
    EsRenderer& r = c.renderer;
    const std::uint16_t base = es_begin_batch(r, draw_state(c), kind, vertices.size());
    r.vertices.insert(r.vertices.end(), vertices.begin(), vertices.end());
    std::vector<std::uint16_t>& out = r.indices;
    const auto add = [&](int index) { out.push_back(static_cast<std::uint16_t>(base + index)); };

    if (kind == EsPrimitive::points) {
        for (std::size_t i = 0; i < vertices.size(); ++i) add(int(i));
    } else if (!is_polygon_primitive(mode)) {
        for_each_line(mode, vertices.size(), [&](int a, int b) { add(a), add(b); });
    } else if (kind == EsPrimitive::triangles) {
        for_each_polygon(mode, vertices.size(), [&](const int* p, int n) {
            for (int i = 1; i + 1 < n; ++i) add(p[0]), add(p[i]), add(p[i + 1]);
        });
    } else {
        for_each_polygon(mode, vertices.size(), [&](const int* p, int n) {
            for (int i = 0; i < n; ++i) add(p[i]), add(p[(i + 1) % n]);
        });
    }
}
