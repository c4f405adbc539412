// The ES 2 context lost and given back: the subset contexts keep everything
// they were given in memory (their state, every texture object's picture,
// the lists' vertices and recorded pictures), so only the ES 2 objects made
// from it are lost, and they are made again.
#include "platform/gl11/context.h"
#include "platform/gl11/gl11_context.h"
#include "platform/gl11/kept_list.h"
#include "platform/gl11/textures.h"

static void forget_buffers(KeptList& kept) {
    es_delete_buffer(kept.vertex_buffer);
    kept.vertex_buffer = 0;
    kept.vertices_stale = true;
    for (KeptIndices& kind : kept.indices) {
        es_delete_buffer(kind.buffer);
        kind.buffer = 0;
    }
}

static void forget_images(const std::vector<ListCommand>& commands) {
    for (const ListCommand& command : commands) {
        if (command.kind == ListCommand::Kind::tex_image) command.image->es_texture = 0;
    }
}

static void forget(Gl11Context& c) {
    es_close(c.renderer);
    for (auto& [name, texture] : c.textures) {
        es_delete_texture(texture.own_es_texture);
        texture.own_es_texture = texture.es_texture = 0;
        if (texture.image != nullptr) texture.image->es_texture = 0;
    }
    for (std::uint32_t texture : c.image_textures) es_delete_texture(texture);
    c.image_textures.clear();
    for (auto& [name, list] : c.lists) {
        if (list.kept != nullptr) {
            forget_buffers(*list.kept);
            forget_images(list.kept->steps);
        }
        if (list.commands != nullptr) forget_images(*list.commands);
    }
    forget_images(c.recording);
    for (auto& [shape, kept] : c.quadric_shapes) forget_buffers(*kept);
}

static bool rebuild(Gl11Context& c) {
    // Whatever was made meanwhile, on the lost context, is forgotten too.
    forget(c);
    if (!es_open(c.renderer)) return false;
    es_viewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
    for (auto& [name, texture] : c.textures) {
        texture.own_es_texture = texture.es_texture = es_create_texture();
        const RecordedImage* image = texture.image.get();
        if (image != nullptr && !texture.image_from_list)
            es_texture_image(texture.own_es_texture, image->width, image->height,
                             image->rgb.data());
        give_parameters(texture.own_es_texture, texture);
        if (image != nullptr && texture.image_from_list) {
            texture.es_texture = image_texture(c, *image);
            give_parameters(texture.es_texture, texture);
        }
    }
    return true;
}

void gl11_context_lost() {
    for (Gl11Context* context : live_contexts()) forget(*context);
}

bool gl11_context_restored() {
    bool built = true;
    for (Gl11Context* context : live_contexts()) built = rebuild(*context) && built;
    return built;
}
