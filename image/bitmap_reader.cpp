// The bitmap file reader: maps the file read-only and decodes its bytes in
// place, never copying them. Everything is released before a failure box is
// shown.
#include "image/bitmap_reader.h"

#include "image/bitmap_conversion.h"
#include "image/bitmap_errors.h"
#include "image/file_map.h"

RgbImage* read_bitmap_image(const char* path) {
    FileMap map;
    if (!open_file_map(path, &map)) {
        report_open_failure(path);
        return nullptr;
    }
    RgbImage* image = nullptr;
    const ReadStatus status = convert_bitmap(map.bytes, map.size, &image);
    close_file_map(&map);
    if (status != ReadStatus::ok) report_read_failure(status);
    return image;
}
