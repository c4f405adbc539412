// Geometry that is drawn many times, kept once: the commands of a display list
// or of a GLU quadric, their glBegin/glEnd vertices gathered into one array.
// The array serves selection from memory and, the first time the geometry is
// drawn, goes into static ES 2 buffers that every later call draws from, with
// the matrices, lighting and texture current at the call.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "platform/gl11/context.h"

// One glBegin/glEnd of kept geometry. Selection passes over whatever lies
// wholly outside the pick region by its box.
struct KeptPrimitive {
    GLenum mode;
    std::uint32_t first, count;  // its vertices in KeptList::vertices
    // Attributes in the order normal, texture coordinate, colour: how many of
    // its first vertices take the value current at the call (the commands set
    // none before them), whether it sets the attribute and the last value it
    // sets, which stays current after it.
    std::uint32_t inherits[3] = {0, 0, 0};
    bool sets[3] = {false, false, false};
    float last[3][4] = {};
    // The box around its vertices.
    float low[3], high[3];
    // The values current at the call that its inheriting vertices hold now.
    bool filled = false;
    float inherited[3][4] = {};
};

// Where the indices of each primitive lie in an index buffer of one kind.
struct KeptIndices {
    std::uint32_t buffer = 0;
    std::vector<std::uint32_t> starts;  // primitive i: starts[i] .. starts[i + 1]
};

struct KeptList {
    std::vector<EsVertex> vertices;
    std::vector<KeptPrimitive> primitives;
    // The commands as called: attributes set outside glBegin/glEnd, texture
    // images and calls of lists; Kind::end stands for drawing primitive `list`.
    std::vector<ListCommand> steps;
    // The box around all its vertices.
    float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
    // ES 2: the vertices, filled at the first draw (again when inherited
    // values change), and indices for each kind of primitive drawn.
    std::uint32_t vertex_buffer = 0;
    bool vertices_stale = true;
    KeptIndices indices[3];

    KeptList() = default;
    KeptList(const KeptList&) = delete;
    KeptList& operator=(const KeptList&) = delete;
    ~KeptList();
};

// The commands kept, or null for commands that only a command-by-command
// replay carries out as OpenGL does (a glBegin left open, a list called or an
// image given between glBegin and glEnd).
std::shared_ptr<KeptList> keep_commands(const std::vector<ListCommand>& commands);
// Carries out kept commands on the context, as their replay would.
void call_kept(Gl11Context& context, KeptList& kept);
// Carries out one recorded command through the subset's own entry point.
void run_command(const ListCommand& command);
