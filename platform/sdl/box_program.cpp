// orrery-box: shows one message box for the main program and tells the answer
// in its exit status (platform/box_protocol.h). The main program starts it
// (platform/box_process.cpp) with a clean signal mask, in a process group of
// its own, so that its main thread, which shows the box as SDL asks, is never
// the program's.
//
// The same code runs over SDL 3's compatibility layer (sdl2-compat); it uses
// only SDL 2 calls that layer provides. Differences known there are noted
// where they matter.
#include <SDL.h>
#include <X11/Xlib.h>
#include <langinfo.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/box_protocol.h"
#include "platform/window_system.h"

// SIGTERM (also the one the kernel sends when the main program ends), SIGHUP
// and SIGINT end the whole group: SDL's X11 box is a forked child of this
// process and would otherwise stay on the screen alone.
static void end_group(int) { kill(0, SIGKILL); }

static void end_group_on_signals() {
    // Started by hand, the program may share its group with whoever started
    // it; the main program has already made it a group leader.
    if (getpgrp() != getpid()) setpgid(0, 0);
    struct sigaction action = {};
    action.sa_handler = end_group;
    sigemptyset(&action.sa_mask);
    for (int signal_number : {SIGTERM, SIGHUP, SIGINT}) sigaction(signal_number, &action, nullptr);
}

static bool utf8_ctype() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0;
}

// SDL's X11 box takes the character set for its UTF-8 text from the locale in
// the environment (it calls setlocale(LC_ALL, "")); with none (the C locale)
// it draws the caption but leaves the body empty. zenity, which shows the
// boxes on Wayland, refuses a Korean title in the C locale as an unknown
// option and shows nothing. The box is then given the UTF-8 locale every C
// library has.
static void ensure_utf8_locale() {
    if (utf8_ctype()) return;
    const char* all = std::getenv("LC_ALL");
    setenv(all != nullptr && *all != '\0' ? "LC_ALL" : "LC_CTYPE", "C.UTF-8", 1);
    utf8_ctype();
}

static int quiet_x_error(Display*, XErrorEvent*) { return 0; }

// Whether the X server can be reached and, unless `id` is 0, the window still
// exists. SDL reads a foreign window's attributes without checking; for a
// window that is gone Xlib's error handler would end this program before any
// box was shown.
static bool x_window_exists(std::uint64_t id) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XErrorHandler previous = XSetErrorHandler(quiet_x_error);
    XWindowAttributes attributes;
    bool exists = id == 0 || XGetWindowAttributes(display, static_cast<Window>(id), &attributes);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return exists;
}

static bool wayland_display_exists() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (name == nullptr || *name == '\0') name = "wayland-0";
    if (*name != '/' && runtime == nullptr) return false;
    std::string path = *name == '/' ? std::string(name) : std::string(runtime) + "/" + name;
    struct stat socket_status;
    return stat(path.c_str(), &socket_status) == 0 && S_ISSOCK(socket_status.st_mode);
}

// The box's owner as an SDL window over the main program's X window, so that
// SDL's X11 box sets WM_TRANSIENT_FOR to it, centres itself on it and opens
// on its screen. For a foreign window SDL 2 only reads the window's
// attributes, name, state and the input focus, creates an input context for
// it on this connection and sets its XdndAware property to the version the
// main program's SDL has already set; it selects no input on it, so the
// main program keeps its button presses (X lets one client only select
// those) and nothing of its window changes.
static SDL_Window* owner_window(std::uint64_t id) {
    // Not SDL 2's: SDL 3 (under sdl2-compat) selects input, button presses
    // included, on a foreign window unless this hint is off; the X server
    // would refuse that with BadAccess and Xlib end the box program.
    SDL_SetHint("SDL_VIDEO_X11_EXTERNAL_WINDOW_INPUT", "0");
    // SDL holds off the screen saver for as long as its video is up.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // Also without an owner: SDL 3 without its video up shows boxes through
    // zenity where it is installed, also on X11, and there Return answers No.
    // With the X11 driver up, SDL 2 and SDL 3 both show their own X11 box.
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    // No input method for a window this program never reads keys from.
    SDL_StopTextInput();
    if (id == 0 || !x_window_exists(id)) return nullptr;
    return SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id)));
}

static SDL_MessageBoxFlags box_kind(unsigned flags) {
    switch (flags & 0xF0) {
        case MB_ICONSTOP:
            return SDL_MESSAGEBOX_ERROR;
        case MB_ICONEXCLAMATION:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

int main(int argc, char** argv) {
    if (argc != BOX_ARGUMENT_COUNT + 1) return BOX_EXIT_NO_BOX;
    end_group_on_signals();
    // Every change to the environment comes before the first SDL call: SDL 3
    // takes a copy of the environment then, reads its variables from the copy
    // and hands the copy to the programs it starts (zenity).
    ensure_utf8_locale();
    unsigned flags = static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10));
    std::uint64_t owner = std::strtoull(argv[4], nullptr, 10);
    std::string driver = argv[5];
    if (!driver.empty()) setenv("SDL_VIDEODRIVER", driver.c_str(), 1);
    // Without an owner SDL tries its X11 box first whenever DISPLAY is set.
    // A program on Wayland gets its boxes from its own compositor (SDL runs
    // zenity there), not from an X server beside it.
    if (driver == "wayland") unsetenv("DISPLAY");
    // SDL takes a zenity that could not open a display for a box closed
    // without an answer; the message would be lost. So a display must be
    // there before any box is tried.
    if (driver == "wayland" ? !wayland_display_exists() : !x_window_exists(0)) {
        _exit(BOX_EXIT_NO_BOX);
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");

    bool yes_no = (flags & 0x0F) == MB_YESNO;
    const SDL_MessageBoxButtonData ok_buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         BOX_EXIT_OK, "OK"}};
    const SDL_MessageBoxButtonData yes_no_buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, BOX_EXIT_NO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, BOX_EXIT_YES, "Yes"}};
    SDL_MessageBoxData data = {};
    data.flags = box_kind(flags);
    data.window = driver == "x11" ? owner_window(owner) : nullptr;
    data.title = argv[1];
    data.message = argv[2];
    data.numbuttons = yes_no ? 2 : 1;
    data.buttons = yes_no ? yes_no_buttons : ok_buttons;
    int answer = -1;
    // SDL's rule: a box is shown from the thread that made its parent window;
    // here that is this program's main thread, which does nothing else.
    int result = SDL_ShowMessageBox(&data, &answer);
    // No SDL_Quit, which would destroy the owner's SDL window: SDL 3 read the
    // owner's full-screen state when it wrapped it, and on destroying it asks
    // the window manager to take the main program out of full screen. The X
    // server frees what this process made when it ends; the box is closed.
    // A box closed without a button (its window closed) answers like Escape.
    if (result == 0 && answer == -1) answer = yes_no ? BOX_EXIT_NO : BOX_EXIT_OK;
    // The exit status is the answer: nothing run at exit may change it (the
    // leak checker of sanitizer builds would, for SDL's and Xlib's memory).
    _exit(result == 0 ? answer : BOX_EXIT_NO_BOX);
}
