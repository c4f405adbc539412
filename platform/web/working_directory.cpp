// The program reads its pictures from its working directory. The page's
// loader writes them into /orrery of the virtual file system before the
// program starts (page/loader.js); the browser starts every program in /, so
// the layer moves there before main runs. Static constructors run after the
// loader's files are in place.
#include <unistd.h>

__attribute__((constructor)) static void enter_picture_folder() {
    if (chdir("/orrery") != 0) {
        // Without the folder the program reports each missing picture itself.
    }
}
