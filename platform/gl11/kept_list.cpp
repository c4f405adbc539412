// Kept geometry: made from recorded commands, drawn from static buffers in
// render mode and tested from memory in selection mode.
#include "platform/gl11/kept_list.h"

#include <cmath>
#include <cstring>

#include "platform/gl11/primitives.h"
#include "platform/gl11/textures.h"

KeptList::~KeptList() {
    es_delete_buffer(vertex_buffer);
    for (const KeptIndices& kind : indices) es_delete_buffer(kind.buffer);
}

static constexpr int attribute_sizes[3] = {3, 2, 4};

static float* attribute_of(EsVertex& v, int a) {
    return a == 0 ? v.normal : a == 1 ? v.tex_coord : v.colour;
}

static int attribute_index(ListCommand::Kind kind) {
    return kind == ListCommand::Kind::normal ? 0 : kind == ListCommand::Kind::tex_coord ? 1 : 2;
}

static void bound(const std::vector<EsVertex>& vertices, std::uint32_t first, std::uint32_t count,
                  float* low, float* high) {
    for (int k = 0; k < 3; ++k) low[k] = high[k] = count > 0 ? vertices[first].position[k] : 0.0f;
    for (std::uint32_t i = first; i < first + count; ++i) {
        for (int k = 0; k < 3; ++k) {
            low[k] = std::fmin(low[k], vertices[i].position[k]);
            high[k] = std::fmax(high[k], vertices[i].position[k]);
        }
    }
}

std::shared_ptr<KeptList> keep_commands(const std::vector<ListCommand>& commands) {
    auto kept = std::make_shared<KeptList>();
    bool open = false, known[3] = {false, false, false};
    float current[3][4] = {};
    KeptPrimitive primitive{};
    for (const ListCommand& command : commands) {
        switch (command.kind) {
            case ListCommand::Kind::begin:
                if (open || command.mode > GL_POLYGON) return nullptr;
                open = true;
                primitive = KeptPrimitive{};
                primitive.mode = command.mode;
                primitive.first = static_cast<std::uint32_t>(kept->vertices.size());
                break;
            case ListCommand::Kind::end:
                // A glEnd without glBegin does nothing.
                if (!open) break;
                open = false;
                bound(kept->vertices, primitive.first, primitive.count, primitive.low,
                      primitive.high);
                kept->primitives.push_back(primitive);
                kept->steps.push_back(command);
                kept->steps.back().list = static_cast<GLuint>(kept->primitives.size() - 1);
                break;
            case ListCommand::Kind::vertex: {
                // A vertex outside glBegin/glEnd does nothing.
                if (!open) break;
                EsVertex v{};
                std::memcpy(v.position, command.v, sizeof v.position);
                for (int a = 0; a < 3; ++a) {
                    std::memcpy(attribute_of(v, a), current[a], attribute_sizes[a] * sizeof(float));
                    if (!known[a]) ++primitive.inherits[a];
                }
                kept->vertices.push_back(v);
                ++primitive.count;
                break;
            }
            case ListCommand::Kind::normal:
            case ListCommand::Kind::tex_coord:
            case ListCommand::Kind::colour: {
                const int a = attribute_index(command.kind);
                std::memcpy(current[a], command.v, sizeof current[a]);
                known[a] = true;
                if (open) {
                    primitive.sets[a] = true;
                    std::memcpy(primitive.last[a], command.v, sizeof primitive.last[a]);
                } else {
                    kept->steps.push_back(command);
                }
                break;
            }
            case ListCommand::Kind::tex_image:
            case ListCommand::Kind::call:
                if (open) return nullptr;
                kept->steps.push_back(command);
                // A list called may set any attribute: the vertices after it
                // take what is current then.
                if (command.kind == ListCommand::Kind::call) known[0] = known[1] = known[2] = false;
                break;
        }
    }
    if (open) return nullptr;
    bound(kept->vertices, 0, static_cast<std::uint32_t>(kept->vertices.size()), kept->low,
          kept->high);
    return kept;
}

void run_command(const ListCommand& command) {
    const float* v = command.v;
    switch (command.kind) {
        case ListCommand::Kind::begin:
            gl11_begin(command.mode);
            break;
        case ListCommand::Kind::end:
            gl11_end();
            break;
        case ListCommand::Kind::vertex:
            gl11_vertex3f(v[0], v[1], v[2]);
            break;
        case ListCommand::Kind::normal:
            gl11_normal3f(v[0], v[1], v[2]);
            break;
        case ListCommand::Kind::tex_coord:
            gl11_tex_coord2f(v[0], v[1]);
            break;
        case ListCommand::Kind::colour:
            gl11_color3f(v[0], v[1], v[2]);
            break;
        case ListCommand::Kind::tex_image:
            if (Gl11Context* c = current_context()) replay_texture_image(*c, command.image);
            break;
        case ListCommand::Kind::call:
            gl11_call_list(command.list);
            break;
    }
}

// An attribute set by the commands: current from then on, as its call makes it.
static void set_attribute(Gl11Context& c, int a, const float* v) {
    if (a == 0) c.normal = {v[0], v[1], v[2]};
    if (a == 1) c.tex_coord = {v[0], v[1]};
    if (a == 2) gl11_color3f(v[0], v[1], v[2]);
}

static const float* current_attribute(const Gl11Context& c, int a) {
    return a == 0 ? c.normal.data() : a == 1 ? c.tex_coord.data() : c.colour.data();
}

// Gives the primitive's inheriting vertices the values current now.
static void fill_inherited(const Gl11Context& c, KeptList& kept, KeptPrimitive& p) {
    for (int a = 0; a < 3; ++a) {
        if (p.inherits[a] == 0) continue;
        const std::size_t bytes = attribute_sizes[a] * sizeof(float);
        const float* now = current_attribute(c, a);
        if (p.filled && std::memcmp(p.inherited[a], now, bytes) == 0) continue;
        std::memcpy(p.inherited[a], now, bytes);
        for (std::uint32_t i = 0; i < p.inherits[a]; ++i)
            std::memcpy(attribute_of(kept.vertices[p.first + i], a), now, bytes);
        kept.vertices_stale = true;
    }
    p.filled = true;
}

static void fill_buffers(KeptList& kept, EsPrimitive kind) {
    if (kept.vertices_stale) {
        if (kept.vertex_buffer == 0) kept.vertex_buffer = es_create_buffer();
        es_fill_buffer(kept.vertex_buffer, false, kept.vertices.data(),
                       kept.vertices.size() * sizeof(EsVertex));
        kept.vertices_stale = false;
    }
    KeptIndices& indices = kept.indices[static_cast<int>(kind)];
    if (indices.buffer != 0) return;
    std::vector<std::uint16_t> all;
    indices.starts.assign(1, 0);
    for (const KeptPrimitive& p : kept.primitives) {
        append_indices(p.mode, kind, p.count, static_cast<std::uint16_t>(p.first), all);
        indices.starts.push_back(static_cast<std::uint32_t>(all.size()));
    }
    indices.buffer = es_create_buffer();
    es_fill_buffer(indices.buffer, true, all.data(), all.size() * sizeof(std::uint16_t));
}

namespace {
// Primitives that follow one another in one index buffer with one state: one draw.
struct Run {
    bool open = false;
    EsPrimitive kind{};
    EsDrawState state{};
    std::uint32_t first = 0, end = 0;
};
}  // namespace

static void draw_run(Gl11Context& c, KeptList& kept, Run& run) {
    if (!run.open) return;
    run.open = false;
    es_draw_static(c.renderer, run.state, run.kind, kept.vertex_buffer,
                   kept.indices[static_cast<int>(run.kind)].buffer, run.first, run.end - run.first);
}

// In render mode, a primitive joins the run or starts the next one.
static void draw_primitive(Gl11Context& c, KeptList& kept, const KeptPrimitive& p, Run& run) {
    if (p.count == 0) return;
    // With more vertices than 16-bit indices reach, each primitive is drawn
    // from its own vertices, as glBegin/glEnd draws it.
    if (kept.vertices.size() > 65536) {
        const std::vector<EsVertex> own(kept.vertices.begin() + p.first,
                                        kept.vertices.begin() + p.first + p.count);
        submit_primitive(c, p.mode, own);
        return;
    }
    const EsPrimitive kind = drawn_kind(p.mode, c.polygon_mode_front);
    fill_buffers(kept, kind);
    const KeptIndices& indices = kept.indices[static_cast<int>(kind)];
    const std::size_t index = static_cast<std::size_t>(&p - kept.primitives.data());
    const std::uint32_t first = indices.starts[index], end = indices.starts[index + 1];
    const EsDrawState state = draw_state(c);
    if (run.open && run.kind == kind && run.end == first && run.state == state) {
        run.end = end;
        return;
    }
    draw_run(c, kept, run);
    run = Run{true, kind, state, first, end};
}

// Called inside glBegin/glEnd, the vertices join the open primitive, as the
// commands would one by one.
static void call_inside_begin(Gl11Context& c, const KeptList& kept) {
    for (const ListCommand& step : kept.steps) {
        if (step.kind != ListCommand::Kind::end) {
            run_command(step);
            continue;
        }
        const KeptPrimitive& p = kept.primitives[step.list];
        for (std::uint32_t i = 0; i < p.count; ++i) {
            EsVertex v = kept.vertices[p.first + i];
            for (int a = 0; a < 3; ++a) {
                if (i >= p.inherits[a]) set_attribute(c, a, attribute_of(v, a));
            }
            gl11_vertex3f(v.position[0], v.position[1], v.position[2]);
        }
        for (int a = 0; a < 3; ++a) {
            if (p.sets[a]) set_attribute(c, a, p.last[a]);
        }
    }
}

// Primitives of fewer vertices than a box has corners are tested as they are.
static constexpr std::uint32_t boxed_primitive_vertices = 8;

void call_kept(Gl11Context& c, KeptList& kept) {
    if (c.inside_begin) return call_inside_begin(c, kept);
    const bool selecting = c.render_mode == GL_SELECT;
    const bool none_hit = selecting && box_outside_view(c, kept.low, kept.high);
    Run run;
    for (const ListCommand& step : kept.steps) {
        switch (step.kind) {
            case ListCommand::Kind::normal:
            case ListCommand::Kind::tex_coord:
            case ListCommand::Kind::colour:
                set_attribute(c, attribute_index(step.kind), step.v);
                break;
            case ListCommand::Kind::end: {
                KeptPrimitive& p = kept.primitives[step.list];
                if (c.render_mode == GL_RENDER) fill_inherited(c, kept, p);
                for (int a = 0; a < 3; ++a) {
                    if (p.sets[a]) set_attribute(c, a, p.last[a]);
                }
                if (c.render_mode == GL_RENDER) {
                    draw_primitive(c, kept, p, run);
                } else if (selecting && !none_hit &&
                           (p.count < boxed_primitive_vertices ||
                            !box_outside_view(c, p.low, p.high))) {
                    select_primitive(c, p.mode, kept.vertices.data() + p.first, p.count);
                }
                break;
            }
            default:
                draw_run(c, kept, run);
                run_command(step);
                break;
        }
    }
    draw_run(c, kept, run);
}
