// Texture uploads shared by the call itself and the replay of a display list.
#pragma once

#include "platform/gl11/context.h"

// Gives the bound texture object this image as its level 0: uploaded into the
// object's own texture, or, replayed from a display list, shown from the
// image's.
void upload_texture_image(Gl11Context& context, const std::shared_ptr<const RecordedImage>& image);
void replay_texture_image(Gl11Context& context, const std::shared_ptr<const RecordedImage>& image);
// The image's own ES 2 texture, made and uploaded when it has none.
std::uint32_t image_texture(Gl11Context& context, const RecordedImage& image);
// Gives an ES 2 texture the object's filters and wrapping.
void give_parameters(std::uint32_t es_texture, const TextureObject& texture);
