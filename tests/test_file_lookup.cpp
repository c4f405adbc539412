// Tests of the lookup of bare file names in the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include "render/file_lookup.h"
#include "support/bitmap_writer.h"
#include "support/x11_harness.h"

// Byte order puts "EARTH.bmp" before "Earth.bmp" before "earth.BMP" ('A' 0x41, 'a' 0x61).
TEST(FileLookup, FindsANameInOtherLetterCaseTheSmallestWhenSeveralMatch) {
    const ScratchDir dir;
    for (const char* name : {"earth.BMP", "Earth.bmp", "EARTH.bmp", "moon.bmp", "sun.bmp.old"})
        write_file(dir.path() + "/" + name, {1});
    ASSERT_EQ(chdir(dir.path().c_str()), 0);  // this test's own process
    EXPECT_EQ(resolve_file_name("earth.bmp"), "EARTH.bmp");
    EXPECT_EQ(resolve_file_name("MOON.BMP"), "moon.bmp");
    // An exact name wins over a smaller one in other case.
    EXPECT_EQ(resolve_file_name("Earth.bmp"), "Earth.bmp");
    // No entry of that name in any case (a longer name is not one): the name as asked.
    EXPECT_EQ(resolve_file_name("sun.bmp"), "sun.bmp");
    // A name with a directory part is used as given.
    EXPECT_EQ(resolve_file_name("./MOON.BMP"), "./MOON.BMP");
}
