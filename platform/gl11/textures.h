// Texture uploads shared by the call itself and the replay of a display list.
#pragma once

#include "platform/gl11/context.h"

// Gives the bound texture object this image as its level 0: uploaded into the
// object's own texture, or, replayed from a display list, shown from the
// image's.
void upload_texture_image(Gl11Context& context, const RecordedImage& image);
void replay_texture_image(Gl11Context& context, const RecordedImage& image);
