// Texture uploads shared by the call itself and the replay of a display list.
#pragma once

#include "platform/gl11/context.h"

// Gives the bound texture object this image as its level 0.
void upload_texture_image(Gl11Context& context, const RecordedImage& image);
