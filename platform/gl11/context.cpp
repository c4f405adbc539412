// Subset contexts: making, switching and freeing them, and what every draw
// takes from their state.
#include "platform/gl11/context.h"

#include <algorithm>

#include "platform/gl11/gl11_context.h"

// ---------------------------------------------------------------------------
// The current subset context, or null. Written by gl11_make_current and
// gl11_delete_context (when it frees the current one); read by every call of
// the subset through current_context.
static Gl11Context* current = nullptr;
// Every subset context made and not yet deleted. Written by gl11_create_context
// and gl11_delete_context; read when the ES 2 context is lost and restored.
static std::vector<Gl11Context*> live;

Gl11Context* current_context() { return current; }
const std::vector<Gl11Context*>& live_contexts() { return live; }

Gl11Context* gl11_create_context() {
    auto* context = new Gl11Context;
    if (!es_open(context->renderer)) {
        delete context;
        return nullptr;
    }
    TextureObject& default_texture = context->textures[0];
    default_texture.own_es_texture = default_texture.es_texture = es_create_texture();
    // As in OpenGL, the viewport starts as the size of what is drawn on.
    const std::array<int, 4> viewport = es_current_viewport();
    for (int i = 0; i < 4; ++i) context->viewport[i] = viewport[i];
    live.push_back(context);
    return context;
}

void gl11_make_current(Gl11Context* context) {
    if (current != nullptr && current != context) es_flush(current->renderer);
    current = context;
}

void gl11_delete_context(Gl11Context* context) {
    if (context == nullptr) return;
    for (const auto& [name, texture] : context->textures) es_delete_texture(texture.own_es_texture);
    for (std::uint32_t texture : context->image_textures) es_delete_texture(texture);
    es_close(context->renderer);
    if (current == context) current = nullptr;
    live.erase(std::find(live.begin(), live.end(), context));
    delete context;
}

void gl11_flush() {
    if (current != nullptr) es_flush(current->renderer);
}

bool record(const ListCommand& command) {
    Gl11Context* c = current;
    // What a list calls while it runs belongs to it, not to the list being recorded.
    if (c == nullptr || c->recording_list == 0 || c->call_depth > 0) return false;
    c->recording.push_back(command);
    return c->recording_mode == GL_COMPILE;
}

EsDrawState draw_state(Gl11Context& c) {
    EsDrawState s{};
    s.modelview = c.modelview.top();
    s.projection = c.projection.top();
    s.lighting = c.lighting;
    if (c.lighting) {
        s.normal_matrix = normal_matrix(c.modelview.top());
        s.normalize = c.normalize;
        s.model_ambient = c.model_ambient;
        s.material_ambient = c.material_ambient;
        s.material_diffuse = c.material_diffuse;
        s.material_specular = c.material_specular;
        s.material_emission = c.material_emission;
        s.shininess = c.shininess;
        // Only front materials are drawn (two-sided lighting is off): colour
        // material counts when it tracks the front's ambient and diffuse.
        s.colour_material = c.colour_material && c.colour_material_face != GL_BACK &&
                            c.colour_material_mode == GL_AMBIENT_AND_DIFFUSE;
        for (int i = 0; i < 2; ++i) {
            s.lights[i] = c.lights[i];
            s.light_on[i] = c.light_on[i];
        }
    }
    s.depth_test = c.depth_test;
    s.depth_func = c.depth_func;
    // A texture object without an image, or one that would need mipmaps it
    // does not have, leaves texturing off, as OpenGL does.
    const auto found = c.textures.find(c.bound_texture);
    if (c.texture_2d && found != c.textures.end()) {
        const TextureObject& t = found->second;
        const bool complete = t.width > 0 && t.height > 0 &&
                              (t.min_filter == GL_NEAREST || t.min_filter == GL_LINEAR);
        if (complete) {
            s.texturing = 1;
            s.texture = t.es_texture;
        }
    }
    return s;
}
