// The texture set (thirteen texture objects) and the texture display lists
// 1 to 12 made from the planet pictures.
#pragma once

#include <GL/gl.h>

#include "image/bitmap_reader.h"

constexpr int texture_count = 13;
constexpr int texture_list_count = 12;

// Written by load_texture_set; read by the scene drawing in sphere mode 1.
extern GLuint texture_names[texture_count];
// Slot n - 1 holds the image recorded into display list n. Written by
// build_texture_lists.
extern RgbImage* list_images[texture_list_count];

// Existence test in front of the reader: null, silently, when the file cannot
// be opened or is not a regular file; otherwise the reader's result.
RgbImage* load_bitmap_checked(const char* name);
// Reads the thirteen pictures into texture objects (all or none).
void load_texture_set();
// Records display lists 1 to 12, each one upload of a picture.
void build_texture_lists();
