// Tests of the lookup of bare file names in the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "render/file_lookup.h"
#include "support/bitmap_writer.h"
#include "support/x11_harness.h"

namespace {

// Runs in a scratch directory holding `names`, and returns to the previous one afterwards.
class InDirectory {
   public:
    explicit InDirectory(std::initializer_list<const char*> names) {
        for (const char* name : names) write_file(dir_.path() + "/" + name, {1});
        previous_ = getcwd(nullptr, 0);
        EXPECT_EQ(chdir(dir_.path().c_str()), 0);
    }
    ~InDirectory() {
        EXPECT_EQ(chdir(previous_), 0);
        std::free(previous_);
    }

   private:
    ScratchDir dir_;
    char* previous_ = nullptr;
};

// Byte order puts "EARTH.bmp" before "Earth.bmp" before "earth.BMP" ('A' 0x41, 'a' 0x61).
TEST(FileLookup, FindsANameInOtherLetterCaseTheSmallestWhenSeveralMatch) {
    const InDirectory dir({"earth.BMP", "Earth.bmp", "EARTH.bmp", "moon.bmp", "sun.bmp.old"});
    EXPECT_EQ(resolve_file_name("earth.bmp"), "EARTH.bmp");
    EXPECT_EQ(resolve_file_name("MOON.BMP"), "moon.bmp");
    // An exact name wins over a smaller one in other case.
    EXPECT_EQ(resolve_file_name("Earth.bmp"), "Earth.bmp");
    // No entry of that name in any case (a longer name is not one): the name as asked.
    EXPECT_EQ(resolve_file_name("sun.bmp"), "sun.bmp");
    // A name with a directory part is used as given.
    EXPECT_EQ(resolve_file_name("./MOON.BMP"), "./MOON.BMP");
}

}  // namespace
