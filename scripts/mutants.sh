#!/usr/bin/env bash
# Plants one fault at a time in a copy of the tree, rebuilds the copy and runs
# the whole suite (unit, then end to end), to find faults that no test notices.
# Each fault is a one-line change that a user or a caller of the code would
# notice. Prints one line per fault, then the faults that no test caught and
# "caught K of N". Takes about a minute per fault (a browser fault runs the
# browser test files one at a time until one fails); not part of the CI run.
#
#   scripts/mutants.sh [PATTERN]  only the faults whose file or text matches
#                                 PATTERN, a regular expression (a, a|b)
#   scripts/mutants.sh --check    only whether each fault still applies to the tree
#
# The copy of the last commit lives in $MUTANTS_DIR (default
# /tmp/orrery-mutants) and is rebuilt incrementally between runs. Tests that already fail on the unchanged tree are
# left out of the fault runs and named at the start.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=${MUTANTS_DIR:-/tmp/orrery-mutants}
only=${1:-}

files=() edits=() texts=() kinds=() firsts=()
fault() { files+=("$1") edits+=("$2") texts+=("$3") kinds+=(linux); }
# A fault in the Windows build: built with MinGW-w64 and tested under Wine
# (scripts/test.sh windows's suite). Its text ends in "(win32)", so that
# "scripts/mutants.sh win32" plants every one of them.
wfault() { files+=("$1") edits+=("$2") texts+=("$3 (win32)") kinds+=(windows); }
# A fault in what only the browser build compiles or serves: built with
# Emscripten and tested in headless Chromium (scripts/test.sh web's suite).
# A fourth argument names the test file to try first (tests/web/NAME.test.mjs).
webfault() { files+=("$1") edits+=("$2") texts+=("$3") kinds+=(web) firsts[${#files[@]} - 1]=${4:-}; }

# Window-system layer: SDL events to messages, window state, the queue and boxes.
p=platform/sdl/event_translation.cpp
fault $p 's/{SDLK_KP_PLUS, SDLK_KP_PLUS, VK_ADD}/{SDLK_KP_PLUS, SDLK_KP_PLUS, VK_OEM_PLUS}/' "keypad plus mapped like the main keyboard's plus"
fault $p 's/{SDLK_SPACE, SDLK_SPACE, VK_SPACE},//' "Space mapped to nothing"
fault $p 's/case SDL_WINDOWEVENT_RESTORED:/case SDL_WINDOWEVENT_RESTORED: return none;/' "restore event ignored"
fault $p 's/make_lparam(0, 0)/make_lparam(1, 1)/' "minimising does not send a size of 0 by 0"
fault $p 's/message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;/message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;/' "right button mapped as the left"
fault $p 's/x = std::clamp(x, 0, std::max(target.width - 1, 0));/;/' "positions left of the window reach the drag unclamped"
fault $p 's/return {target.window, WM_PAINT, 0, 0};/return none;/' "a paused window uncovered stays unpainted"
fault $p 's/            return {target.window, WM_MOUSEWHEEL, wheel_turn(event.wheel), 0};/            return none;/' "the wheel does nothing (SDL)"
fault $p 's/    const float notches = wheel.preciseY;/    const float notches = float(wheel.y);/' "a touchpad's fractions of a notch lost (SDL)"
p=platform/sdl/window_state.cpp
fault $p 's/if (screen_saver_refused \&\& focus != nullptr \&\& !is_minimised)/if (screen_saver_refused)/' "screen saver held off while minimised or in the background"
fault $p 's/if (!focus_held \&\& focus == window) focus = nullptr;/if (focus == window) focus = nullptr;/' "reader boxes after the first have no owner"
p=platform/sdl/message_queue.cpp
fault platform/common/queued_messages.cpp 's/if (box_time \&\& dropped_while_box_open(message.message)) return;/;/' "input given to the frozen window acts after its box closes"
fault $p 's/deliver_quit_again_if(drop_frozen_input());/;/' "a click queued with the one that opened a box acts after it"
fault $p 's/quit_seen = quit_undelivered = true;/quit_seen = true;/' "a quit signal during a box is lost"
fault $p 's/if (close_dropped \&\& quit_seen) quit_undelivered = true;/;/' "a quit signal that comes with the click that opens a box is lost"
p=platform/sdl/video.cpp
fault $p 's/SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0"/SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "1"/' "full screen minimised when a box takes the focus"
fault $p 's/SDL_ResetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS);/;/' "Alt+Tab out of full screen after a box leaves the desktop in the program's mode"
fault $p 's/    SDL_StopTextInput();/;/' "text input left on: an input method swallows keys"
fault $p 's/SDL_HINT_MOUSE_AUTO_CAPTURE, "0"/SDL_HINT_MOUSE_AUTO_CAPTURE, "1"/' "a drag past the window's edge jumps"
fault $p 's/SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1"/SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "0"/' "a click that comes with the focus is lost"
fault $p 's/SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0"/SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "1"/' "F1 under Wayland crashes"
fault $p 's/    SDL_GL_LoadLibrary(nullptr);/    ;/' "each F1 leaves one more colormap in the X server (GL loaded anew)"
fault platform/sdl/quit_signal.cpp 's/hangup_pending = 1;/;/' "a hang-up leaves the program running"
fault platform/sdl/windows.cpp 's/SDL_WINDOW_BORDERLESS : SDL_WINDOW_RESIZABLE/SDL_WINDOW_BORDERLESS : 0/' "the window cannot be resized"
fault platform/sdl/windows.cpp 's/    free_own_colormap(colormap);/    ;/' "a destroyed window's colormap stays in the X server"
p=platform/sdl/message_box.cpp
fault $p 's/SDL_GL_SwapWindow(window->sdl_window);/;/' "a box moved over the window leaves its image behind"
fault $p 's/    std::fprintf(stderr, "%s: %s\\n", caption ? caption : "", text ? text : "");/    ;/' "without a display the message is lost"
fault $p 's/            if (!ended) close_box_process(pid);/            continue;/' "SIGTERM during a box waits for the user to close it"
fault $p 's/if (!quit_signalled()) {/if (true) {/' "a box after a quit signal flashes up, its text not on standard error"
p=platform/sdl/box_process.cpp
fault $p 's/    sigprocmask(SIG_SETMASK, \&none, nullptr);/    ;/' "the box keeps SDL's blocked signals: a killed program leaves its box"
fault $p 's/    prctl(PR_SET_PDEATHSIG, SIGTERM);/    ;/' "a killed program leaves its box on the screen"
fault $p '/^void close_box_process/,/^}/s/kill(-pid, SIGKILL);/;/' "a box closed on a quit signal stays on the screen (SDL's forked box)"
p=platform/sdl/box_program.cpp
fault $p 's/data.window = driver == "x11" ? owner_window(owner) : nullptr;/data.window = nullptr;/' "boxes not transient for their owner"
fault $p 's/static void end_group(int) { kill(0, SIGKILL); }/static void end_group(int) { _exit(1); }/' "a box program ended by a signal leaves SDL's box behind"
fault $p 's/    if (utf8_ctype()) return;/    return;/' "boxes blank without a UTF-8 locale"
fault $p 's/if (driver == "wayland") unsetenv("DISPLAY");/;/' "under Wayland ownerless boxes open on the X server beside it"
fault $p 's/BOX_EXIT_YES, "Yes"/BOX_EXIT_NO, "Yes"/' "Yes answered as No"
fault $p 's/answer = yes_no ? BOX_EXIT_NO : BOX_EXIT_OK;/answer = yes_no ? BOX_EXIT_YES : BOX_EXIT_OK;/' "a question closed without a button (its window closed) answered Yes"
fault $p 's/? "LC_ALL" : "LC_CTYPE", "C.UTF-8"/? "LC_CTYPE" : "LC_CTYPE", "C.UTF-8"/' "under LC_ALL=C the boxes lose their Korean: an empty X11 box, none under zenity"
fault platform/common/frozen_input.cpp 's/        case WM_RBUTTONDOWN:/        case WM_RBUTTONDOWN:\n        case WM_RBUTTONUP:/' "a right button released during a box leaves the drag on"
fault platform/common/frozen_input.cpp '/        case WM_MOUSEWHEEL:/d' "the wheel given to the frozen window zooms after its box closes"
fault platform/common/held_releases.cpp 's/pressed_since_idle_.count(message.w_param) == 0/true/' "a key tapped within one frame is never seen by the loop"
p=platform/common/swap_pacing.cpp
fault $p 's/\*this = SwapPacing{}, period_ = period;/period_ = period_ ? period_ : period;/' "pacing keeps the first display's period after a move to another"
fault $p 's/const bool very_late = began >= next_due_ + period_;/const bool very_late = false;/' "a slow frame is made up for with a burst of fast ones"
fault $p 's/if (blocked_swaps_ >= 2) {/if (false) {/' "frames paced twice where the driver waits for the display"
fault $p 's/if (interval \* 4 < period_ \* 3) {/if (false) {/' "frames never paced where the driver does not wait"
p=platform/sdl/gl_context.cpp
fault $p 's/    if (wait > 0) {/    if (false) {/' "the layer's pacing off: where the driver does not wait, hundreds of frames a second"
fault $p 's/void reread_refresh_period() { period_stale = true; }/void reread_refresh_period() {}/' "frames keep the first display's rate after the window moves to another"
fault app/main_window.cpp 's/PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,/PFD_SUPPORT_OPENGL,/' "a single-buffered context: every clear shows"
# Faults only SDL 3 shows, planted where SDL 2's API comes from sdl2-compat (patch level 50 and up).
if [ "$(pkg-config --modversion sdl2 2>/dev/null | cut -d. -f3)" -ge 50 ] 2>/dev/null; then
  fault platform/sdl/windows.cpp 's/if (!window->popup \&\& sdl3_underneath()) {/if (false) {/' "the window opens with its title bar above the screen's top (SDL 3)"
fi
# The Win32 backend, and the file map's Windows side.
p=platform/win32/message_box.cpp
wfault $p 's/MessageBoxW(to_hwnd(owner), widen(text).c_str(), widen(caption).c_str(),/MessageBoxA(to_hwnd(owner), text, caption,/' "the Korean facts garbled on every Windows not set to Korean"
wfault $p 's/^    drop_queued_input();/    ;/' "a click queued with the one that opened a box acts after it"
wfault $p 's/while (PeekMessageA(\&typed, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE | PM_NOYIELD)) {/while (false) {/' "keys typed into the frozen window arrive as characters after the box"
wfault $p 's/                                   flags | MB_SETFOREGROUND);/flags | MB_SETFOREGROUND | MB_DEFBUTTON2);/' "Return answers No to the full-screen question"
wfault platform/win32/message_queue.cpp 's/if (msg.message != WM_QUIT \&\& held_releases.hold(message)) continue;/;/' "a key tapped within one frame is never seen by the loop"
p=platform/win32/windows.cpp
wfault $p 's/if (box_open() \&\& dropped_while_box_open(message)) return 0;/;/' "input given to the frozen window acts after its box closes"
wfault platform/common/frozen_input.cpp '/        case WM_MOUSEWHEEL:/d' "the wheel given to the frozen window zooms after its box closes"
wfault $p 's/const UINT dpi = window_dpi(window);/const UINT dpi = USER_DEFAULT_SCREEN_DPI;/' "a window sized for 96 dots per inch on a scaled display"
wfault $p 's/if (GetClientRect(to_hwnd(window), \&client)) {/if (false) {/' "on a scaled display the picture fills a corner of the window"
wfault $p 's/registration.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(program_icon));/;/' "the window shows Windows's icon, not the program's"
wfault $p 's/ShowWindow(window, SW_MINIMIZE);/;/' "another program in front, the full-screen window stays over it"
wfault $p 's/ShowWindow(window, SW_RESTORE);/;/' "back in front, the full-screen window stays minimised"
wfault $p 's/if (w_param != FALSE) give_desktop_back();/;/' "the session's end leaves the desktop at 800x600"
wfault platform/win32/dpi.cpp 's/{ return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }/{ return length; }/' "a tiny window on a scaled display"
p=platform/win32/console.cpp
wfault $p 's/^    SetConsoleCtrlHandler(on_console_event, TRUE);/    ;/' "Ctrl+C kills the program instead of closing its window"
wfault $p 's/^    EnumThreadWindows(main_thread, close_box, 0);/    ;/' "Ctrl+C waits for the open box to be closed by hand"
wfault $p 's/GetConsoleProcessList(processes, 2) == 1/GetConsoleProcessList(processes, 2) <= 2/' "started from a Command Prompt, the program lets go of its console"
p=platform/win32/display.cpp
wfault $p 's/if (ChangeDisplaySettingsW(\&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;/ChangeDisplaySettingsW(\&mode, CDS_FULLSCREEN);/' "a refused full-screen mode is taken for granted"
wfault $p 's/static constexpr int least_bits_per_pixel = 32;/static constexpr int least_bits_per_pixel = 16;/' "F1 asks for 16 bits per pixel, which Windows 8 and later refuse"
wfault $p '/^void restore_display_mode/,/^}/s/^    ChangeDisplaySettingsW(nullptr, 0);/    ;/' "leaving full screen keeps the desktop at 800x600"
wfault $p '/^bool give_desktop_back/,/^}/s/^    ChangeDisplaySettingsW(nullptr, 0);/    ;/' "another program in front, the desktop stays at 800x600"
wfault $p 's/^    ChangeDisplaySettingsW(\&full_screen_mode, CDS_FULLSCREEN);/    ;/' "back in front, the full-screen window sits on the user's mode"
wfault $p 's/ShowCursor(visible ? TRUE : FALSE);/ShowCursor(TRUE);/' "the cursor shows in full screen"
wfault $p 's/ShowCursor(visible ? TRUE : FALSE);/ShowCursor(FALSE);/' "the cursor stays hidden after full screen"
wfault $p 's/SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED)/SetThreadExecutionState(ES_CONTINUOUS)/' "the display goes dark while the program runs"
wfault $p 's/if (display_kept_on) std::atexit(let_display_sleep);/;/' "the display is kept on after the program has ended"
p=platform/win32/gl_context.cpp
wfault $p 's/if (hertz <= 1) hertz = unknown_refresh_hertz;/if (hertz <= 1) return 0;/' "unpaced where the display gives no rate: twice the speed and a whole core"
wfault $p 's/if (fine_sleep) std::atexit(end_fine_sleep);/;/' "the system timer left at 1 ms after the program has ended"
p=platform/win32/program_folder.cpp
wfault $p 's/if (!folder.empty() \&\& holds_pictures(folder)) SetCurrentDirectoryW/if (false) SetCurrentDirectoryW/' "started by full path from another folder, every picture reported missing"
wfault $p 's/^    if (holds_pictures(std::wstring())) return;/    ;/' "a working directory with pictures is left for the program's folder"
wfault image/file_map_win32.cpp 's/MultiByteToWideChar(CP_UTF8,/MultiByteToWideChar(CP_ACP,/g' "pictures with Korean names not found"
# The application's input and window procedure, as the Windows build compiles them (windows.h's
# numbers), and the packages.
p=app/window_proc.cpp
wfault $p 's/if (w_param == SC_SCREENSAVE || w_param == SC_MONITORPOWER) return 0;/;/' "the screen saver starts over the running program"
wfault $p 's/case VK_ADD:/case VK_OEM_PLUS:/' "keypad plus does not scale the scene"
wfault $p 's/case VK_SUBTRACT:/case VK_OEM_MINUS:/' "keypad minus does not scale the scene"
wfault $p 's/case WM_RBUTTONDOWN:/case WM_MBUTTONDOWN:/' "the right-drag does not turn the view"
wfault $p 's/        case WM_MOUSEWHEEL:/        case WM_MOUSEHWHEEL:/' "the wheel does nothing"
for key in F2 F3 F4 F5; do
  wfault app/main_loop.cpp "s/if (take_key(VK_$key))/if (take_key(VK_F6))/" "$key does nothing"
done
wfault desktop/windows/orrery.manifest 's/level="asInvoker"/level="requireAdministrator"/' "a UAC prompt at every start"
wfault desktop/windows/licence.txt.in '1s/^\xef\xbb\xbf//' "the installer's licence page garbles the credits' accented names"
# The browser backend and its page.
p=platform/web/key_codes.cpp
webfault $p 's/{"NumpadAdd", VK_ADD}/{"NumpadAdd", VK_OEM_PLUS}/' "keypad plus mapped like the main keyboard's plus (browser)" controls
webfault $p 's/{"Space", VK_SPACE},//' "Space mapped to nothing (browser)" controls
webfault $p 's/numbered(code, "F", 1, 12)/numbered(code, "F", 2, 12)/' "F1 mapped to nothing (browser)" controls
p=platform/web/input.cpp
webfault $p 's/button == 2 ? mk_rbutton : 0/button == 2 ? mk_lbutton : 0/' "the right button taken for the left: no drag (browser)" frames
webfault $p 's/(client_x - box.left) \* scale_x/client_x * scale_x/' "clicks placed by the page's coordinates, not the canvas's (browser)" sizes
webfault $p 's/        event.preventDefault();/        ;/' "the browser's context menu opens over the canvas at a right press" frames
webfault $p 's/std::lround(-event->deltaY \* per_unit)/std::lround(event->deltaY * per_unit)/' "the wheel zooms the wrong way (browser)" controls
webfault $p '/^static EM_BOOL on_wheel/,/^}/s/    return EM_TRUE;/    return EM_FALSE;/' "the page scrolls under the canvas at the wheel (browser)" controls
p=platform/web/touch.cpp
webfault $p 's/tap_slop = 10.0;/tap_slop = 0.0;/' "a touch that trembles a pixel turns the view instead of picking" touch
webfault $p 's/if (gesture == Gesture::maybe_tap \&\& lifted) {/if (false) {/' "a tap picks nothing" touch
webfault $p 's/    if (gesture == Gesture::turning) post(WM_MOUSEMOVE, mk_rbutton, first.x, first.y);/    ;/' "one finger does not turn the view" touch
webfault $p 's/pinch_step_ratio = 1.25;/pinch_step_ratio = 1.5;/' "a pinch zooms less than the fingers part" touch
webfault $p '/^static EM_BOOL on_touch_move/,/^}/s/return EM_TRUE;/return EM_FALSE;/' "the page scrolls under a finger on the canvas" touch
p=platform/web/page/controls.js
webfault $p 's/        event.stopPropagation();/        ;/' "Space on a focused control reaches the program too: pressed twice" controls
webfault $p 's/    ring\[next\].focus();/    ;/' "Tab reaches no control" controls
webfault $p "s/window.dispatchEvent(new KeyboardEvent(type, { code,/window.dispatchEvent(new KeyboardEvent(type, { code: 'F6',/" "the controls do nothing" controls
p=platform/web/page/page.css
webfault $p 's/min(var(--window-width, 800px), 100%, /min(var(--window-width, 800px), /g' "the picture overflows a phone's screen" sizes
webfault $p 's/#screen:fullscreen #canvas { width: min(100vw, 100vh \* 4 \/ 3); }/#screen:fullscreen #canvas { width: 100vw; }/' "full screen's picture taller than a wide screen" sizes
webfault $p 's/#screen:fullscreen #controls { position: absolute;/#screen:fullscreen #controls { display: none;/' "no controls in full screen" controls
webfault platform/common/queued_messages.cpp 's/if (box_time \&\& dropped_while_box_open(message.message)) return;/;/' "input given to the page during a box acts after it (browser)" boxes
p=platform/web/message_box.cpp
webfault $p "s/\[\['Yes', 6\], \['No', 7\]\]/[['No', 7], ['Yes', 6]]/" "No first: Enter answers No to a question (browser)" boxes
webfault $p 's/            dialog.close();/            ;/' "a box answered stays on the page (browser)" boxes
webfault platform/web/page/page.css 's/ white-space: pre-line;//' "a box's text shown without its line breaks (browser)" boxes
p=platform/web/display.cpp
webfault $p "0,/getElementById('screen')/s//getElementById('canvas')/" "full screen asked for the canvas alone: its boxes unseen (browser)" controls
webfault $p '/catch (refused)/{n;s/return 0;/return 1;/}' "a refused full screen taken for granted: no question asked (browser)" boxes
webfault $p 's/post_message({window, WM_SIZE, 0, make_lparam(width, height)});/;/' "full screen drawn at the window's size (browser)" sizes
webfault $p 's/if (!event->isFullscreen \&\& full_screen) post_key_press(VK_F1);/;/' "the browser's own exit from full screen leaves the program believing it full screen" sizes
webfault $p 's/Math.min(window.devicePixelRatio || 1,/Math.min(1,/' "the picture blurred on a high-density screen" sizes
webfault $p 's/    new ResizeObserver/    if (0) new ResizeObserver/' "the picture keeps its size when the page around the canvas changes" sizes
webfault $p 's/visible ? "" : "none"/""/' "the cursor shows over the full-screen picture (browser)" controls
webfault $p 's/        await Module.orrery_wait(Module.orrery_leaving_full_screen);/        ;/' "F1 pressed again while the browser leaves full screen ends in the window (webkit)" controls
webfault platform/common/window_list.cpp 's/    if (proc != nullptr) proc(window, WM_SIZE, 0, make_lparam(width, height));/    ;/' "a paused program's new window stays blank (browser)"
webfault platform/web/program_end.cpp 's/            setTimeout(end_if_idle, 0);/            ;/' "after Escape the page never says that the program has ended" controls
# The page's loading and its messages.
p=platform/web/page/loader.js
webfault $p 's/    progress_bar.hidden = true;/    ;/' "the progress bar stays after the program has started (loading)"
webfault $p 's/  progress_bar.value = loaded;/  progress_bar.value = loaded \/ 2;/' "the progress bar stops half way (loading)"
webfault $p 's/  if (failed) return;/  ;/' "a file's failure message replaced by the progress of the others (loading)"
webfault $p '0,/      files.delete(file);/s//      ;/' "Retry fetches a failed file never again (loading)"
webfault $p 's/    const row = 54 + (height - 1 - y) \* stride;/    const row = 54 + y * stride;/' "the pictures written upside down for the program (loading)"
webfault $p "0,/  say('Starting…');/s///" "Retry clicked twice loads the code twice: two programs start (loading)"
webfault $p 's/} else if (!webgl_available()) {/} else if (false) {/' "without WebGL the desktop's box instead of the page's words (loading)"
p=platform/web/page/page.js
webfault $p "s/window.addEventListener('unhandledrejection'/window.addEventListener('rejectionhandled'/" "a program that throws goes still without a word (loading)"
webfault $p "s/canvas.addEventListener('webglcontextlost'/canvas.addEventListener('webglcontextrestored'/" "a lost WebGL context leaves a still picture without a word (loading)" context_loss
fault scripts/web_pictures.mjs "s/const quality = '80';/const quality = '10';/" "the page's pictures blurred by a low quality (loading)"
# The wake lock, offline use, the manifest and the page's policy (browser).
webfault platform/web/message_queue.cpp 's/    follow_pause_key(\*message);/    ;/' "the wake lock kept while the program is paused" wake_lock
webfault platform/web/message_box.cpp 's/    hold_wake_lock_for_box(true);/    ;/' "the wake lock kept while a box is open" wake_lock
p=platform/web/wake_lock.cpp
webfault $p "s/        document.addEventListener('visibilitychange', apply);/        ;/" "the wake lock not taken again when the page is shown again" wake_lock
webfault $p 's/                lock.ended = true;/                ;/' "the wake lock kept after the program has ended" wake_lock
p=platform/web/offline/service_worker.js.in
webfault $p 's/return response ?? fetch(request);/return fetch(request);/' "offline, the page's files asked of the network: it does not start" offline
webfault $p 's/if (name.startsWith(prefix) \&\& name !== kept) await caches.delete(name);/;/' "an old build's files kept for ever beside the new (offline)"
webfault $p "s/self.addEventListener('install', (event) => {/&self.skipWaiting();/" "a new build's worker takes over a running page: versions mix (offline)"
webfault platform/web/offline/service_worker.cmake 's/set(PAGE_VERSION "${VERSION}-${digest}")/set(PAGE_VERSION "${VERSION}")/' "a new build under the old version's name is never fetched (offline)"
webfault platform/web/page/offline.js 's/^  Module.postRun = .*$/  ;/' "the page's files never kept for offline use" offline
webfault platform/web/page/manifest.webmanifest 's/"display": "standalone"/"display": "browser"/' "the installed page opens as a browser tab, not an app (manifest)" offline
webfault platform/web/page/index.html '/Content-Security-Policy/d' "the page without its Content-Security-Policy" embedding
# A lost WebGL context survived (tests/web/context_loss).
p=platform/gl11/context_loss.cpp
webfault $p 's/if (image != nullptr \&\& !texture.image_from_list)/if (false)/' "the pictures not uploaded again: bodies drawn white once the graphics come back (context loss)" context_loss
webfault $p 's/    for (auto\& \[shape, kept\] : c.quadric_shapes) forget_buffers(\*kept);/    ;/' "GLU's spheres and disks drawn from their lost buffers: missing once the graphics come back (context loss)" context_loss
webfault $p 's/            forget_images(list.kept->steps);/            ;/' "the lists' pictures shown from their lost textures (context loss)" context_loss
webfault $p 's/    es_viewport(c.viewport\[0\], c.viewport\[1\], c.viewport\[2\], c.viewport\[3\]);/    es_viewport(0, 0, 1, 1);/' "the viewport given back wrong: the picture drawn in a corner (context loss)" context_loss
p=platform/web/context_loss.cpp
webfault $p 's/    gl11_context_lost();/    ;/' "the lost objects freed on the context given back: WebGL errors (context loss)" context_loss
webfault $p 's/    if (window != nullptr) post_message/    if (false) post_message/' "a paused picture stays blank once the graphics come back (context loss)" context_loss
webfault $p 's/    while (emscripten_is_webgl_context_lost(webgl))/    if (false)/' "the loop draws on while the context is lost (context loss)" context_loss
p=platform/web/page/page.js
webfault $p 's/^  event.preventDefault();/  ;/' "the browser never gives the lost context back: the page did not ask for it (context loss)" context_loss
webfault $p 's/^  say(running);/  start_again();/' "the program starts anew when the graphics come back: its state lost (context loss)" context_loss
webfault $p 's/^  context_lost = false;/  return;/' "the page still says the graphics were reset once they are back (context loss)" context_loss
# Keys, boxes, edges, frames and pacing in the page (tests/web/boxes, frames).
p=platform/web/key_codes.cpp
webfault $p 's/key == VK_SPACE || key == VK_TAB ||/key == VK_SPACE ||/' "Tab handed to the browser: the focus leaves the program (browser)" boxes
webfault $p 's/(key >= VK_F1 \&\& key <= VK_F5)/(key >= VK_F1 \&\& key <= VK_F4)/' "F5 handed to the browser: it reloads the page (browser)" boxes
p=platform/web/input.cpp
webfault $p 's/    return key_kept_from_browser(key);/    return !box_open() \&\& key_kept_from_browser(key);/' "during a box every key is the browser's: F5 reloads, F1 opens help" boxes
webfault $p 's/if (key == 0 || (window == nullptr \&\& !box_open())) return EM_FALSE;/if (key == 0 || window == nullptr) return EM_FALSE;/' "the full-screen question hands F5 and F1 to the browser (browser)" boxes
webfault $p 's/int pixel = pixel_of(event, buttons_held != 0);/int pixel = pixel_of(event, false);/' "a drag stops at the canvas's edge (browser)" frames
webfault $p 's/emscripten_set_mouseup_callback(page,/emscripten_set_mouseup_callback("#canvas",/' "a drag let go outside the canvas goes on (browser)" frames
webfault $p 's/emscripten_set_mousedown_callback("#canvas",/emscripten_set_mousedown_callback(page,/' "a press outside the canvas taken as the program's (browser)" frames
p=platform/web/message_box.cpp
webfault $p 's/                buttons\[next\].focus();/                ;/' "Tab does not go round a box's buttons (browser)" boxes
webfault $p "/event.code === 'Escape'/{n;s/finish(closed_answer)/finish(choices[0][1])/}" "Escape answers Yes to the full-screen question (browser)" boxes
webfault $p 's/finish(choices\[Math.max(focused, 0)\]\[1\])/finish(choices[0][1])/' "Enter presses the first button, not the one with the focus (browser)" boxes
webfault $p "s/window.addEventListener('keydown', on_key);/window.addEventListener('keydown', on_key, true);/" "the box answers before the page's key handler: the Escape that closes a box ends the program (browser)" boxes
webfault platform/gl11/es_renderer.cpp 's/if (s.depth_test != 0) {/if (false) {/' "no depth test in the page: far sides drawn over near ones (browser tests)" frames
webfault platform/web/gl_context.cpp 's/requestAnimationFrame(resolve)/setTimeout(resolve, 0)/' "the loop draws without waiting for the display's frame (browser)" frames
# The OpenGL 1.1 subset of the browser build, against Mesa (tests/gl11/).
p=platform/gl11/es_renderer.cpp
fault $p 's/vec3 c = u_material\[3\].rgb + ambient.rgb \* u_model_ambient.rgb;/vec3 c = u_material[3].rgb;/' "the scene's ambient light lost (browser)"
fault $p 's/max(n_dot_l, 0.0) \* diffuse.rgb/abs(n_dot_l) * diffuse.rgb/' "sides facing away from the light lit (browser)"
fault $p 's/if (u_texturing) c.rgb \*= texture2D/if (u_texturing) c.rgb = texture2D/' "the picture replaces the lit colour (browser)"
fault $p 's/if (u_normalize) n = normalize(n);/;/' "normals not rescaled after the view scale (browser)"
fault $p 's/if (s.depth_test != 0) {/if (false) {/' "no depth test: far sides drawn over near ones (browser)"
fault platform/gl11/context.cpp 's/normal_matrix(c.modelview.top());/normal_matrix(identity_matrix());/' "normals not turned with the scene (browser)"
fault platform/gl11/matrix.cpp 's/uz \* ux \* t - uy \* s,/uz * ux * t + uy * s,/' "rotations about y skewed (browser)"
fault platform/gl11/context.cpp 's/const bool complete = t.width > 0 \&\& t.height > 0 \&\&/const bool complete = true ||/' "bodies without pictures black instead of white (browser)"
fault platform/gl11/matrices.cpp 's/s->matrices.pop_back();/;/' "glPopMatrix keeps the pushed matrix (browser)"
fault platform/gl11/glu_quadric.cpp 's/push_back(-std::sin(angle));/push_back(std::sin(angle));/' "quadric spheres' pictures mirrored (browser)"
fault platform/gl11/glu_matrix.cpp 's/(viewport\[3\] - 2.0 \* (y - viewport\[1\]))/(viewport[3] + 2.0 * (y - viewport[1]))/' "picks mirrored top to bottom (browser)"
fault platform/gl11/primitives.cpp 's/polygon_mode == GL_LINE   ? EsPrimitive::lines/polygon_mode == GL_LINE ? EsPrimitive::triangles/' "outline mode draws filled (browser)"
fault platform/gl11/primitives.h 's/p\[2\] = int(i + 3), p\[3\] = int(i + 2);/p[2] = int(i + 2), p[3] = int(i + 3);/' "quad strips drawn as bow ties (browser)"
fault platform/gl11/kept_list.cpp 's/if (Gl11Context\* c = current_context()) replay_texture_image(\*c, command.image);/;/' "texture lists upload nothing: the second sphere mode untextured (browser)"
fault platform/gl11/lists.cpp 's/if (name_used(\*c, name)) first = name + 1;/;/' "a click's lists replace the texture lists (browser)"
fault platform/gl11/kept_list.cpp 's/kept.vertices_stale = false;/;/' "a display list sends its vertices to WebGL again at every call (browser)"
fault platform/gl11/kept_list.cpp 's/if (!known\[a\]) ++primitive.inherits\[a\];/;/' "a display list's vertices lose the colour current at its call: disks drawn black (browser)"
fault platform/gl11/textures.cpp 's/if (image.es_texture == 0) {/if (true) {/' "a texture list uploads its picture again at every call: memory grows each frame in the second sphere mode (browser)"
fault platform/gl11/state.cpp 's/c->inside_begin || c->render_mode != GL_RENDER) return;/c->inside_begin) return;/' "a pick clears the picture behind its box (browser)"
fault platform/gl11/glu_quadric.cpp 's/, key\[7\] = quadric.texture;/;/' "a kept disk drawn without texture coordinates once it was drawn so (browser)"
fault platform/gl11/glu_quadric.cpp 's/if (kept == nullptr || (c->recording_list/if (true || (c->recording_list/' "GLU's spheres made and sent to WebGL anew at every call (browser)"
p=platform/gl11/selection.cpp
fault $p 's/const double z = v\[2\] \/ v\[3\] \* 0.5 + 0.5;/const double z = v[2] \/ v[3];/' "hit depths not in window coordinates (browser)"
fault $p 's/for (GLuint name : c.name_stack) put_word(c, name);/;/' "hit records without names: no box (browser)"
fault $p 's/            if (da >= 0) next.push_back(a);/            next.push_back(a);/' "selection does not clip: every shape hit (browser)"
fault $p 's/} else if (c.polygon_mode_front == GL_LINE) {/} else if (false) {/' "outlined polygons hit inside their edges (browser)"
fault $p 's/for (int corner = 0; corner < 8 \&\& all != 0; ++corner) {/for (int corner = 0; corner < 1 \&\& all != 0; ++corner) {/' "selection passes over shapes a click hits: boxes judged by one corner (browser)"
# Main loop, main window, window procedure.
p=app/main_loop.cpp
fault $p 's/bool end_loop = frame_failed || key_down\[VK_ESCAPE\];/bool end_loop = frame_failed;/' "Escape does not end the program"
fault $p 's/bool frame_failed = draw \&\& !draw_scene();/bool frame_failed = !draw_scene();/' "the paused loop still animates"
fault $p 's/bool draw = animating || picture_stale;/bool draw = animating;/' "a paused picture does not follow a resize"
fault $p 's/if (!end_loop) swap_buffers(device_context);/;/' "frames never swapped to the screen"
fault $p 's/if (take_key(VK_F2)) lighting_on/if (key_down[VK_F2]) lighting_on/' "one press of F2 toggles the lighting at every pass"
p=app/main_window.cpp
fault $p "s/Can't Set The PixelFormat./Can't Set The Pixel Format./" "a failure text misspelt"
fault $p 's/"SHUTDOWN ERROR"/"ERROR"/' "release failures captioned like opening failures"
fault $p 's/return fail_after_close("Window Creation Error.");/{ open_error("Window Creation Error."); return false; }/' "a failed window creation leaves the class registered"
fault $p 's/show_cursor(false);/;/' "the cursor stays over the full-screen picture"
fault $p 's/show_cursor(true);/;/' "after full screen the cursor stays hidden"
p=app/window_proc.cpp
fault $p 's/view_scale_step = 0.3;/view_scale_step = 0.25;/' "keypad scale step 0.25 instead of 0.3"
fault $p 's/view_turn - (last_mouse_x - mouse_x)/view_turn + (last_mouse_x - mouse_x)/' "dragging right turns the scene the other way"
fault $p 's/if (dragging) {/if (true) {/' "moving without the right button turns the view"
fault $p 's/animating = animating == 0 ? 1 : 0;/animating = 0;/' "Space pauses but never resumes"
fault $p 's/if (w_param < 256) key_down\[w_param\] = 0;/;/' "released keys stay held"
fault $p 's/            scale_view(1);/            scale_view(-1);/' "keypad plus makes the scene smaller"
fault $p 's/wheel_rest -= WHEEL_DELTA) scale_view(1);/wheel_rest -= WHEEL_DELTA) scale_view(-1);/' "a wheel notch away from the user makes the scene smaller"
fault $p 's/    wheel_rest += static_cast/    wheel_rest = static_cast/' "a touchpad's small scrolls never add up to a zoom"
fault $p 's/for (; wheel_rest >= WHEEL_DELTA; wheel_rest -= WHEEL_DELTA)/if (wheel_rest >= WHEEL_DELTA \&\& (wheel_rest = 0) == 0)/' "two notches at once zoom as one"
# Render state and textures.
fault render/render_state.h 's/field_of_view = 45.0;/field_of_view = 60.0;/' "field of view 60 degrees instead of 45"
p=render/render_state.cpp
fault $p 's/GLU_OUTSIDE/GLU_INSIDE/' "quadric spheres lit from inside"
fault $p 's/glEnable(GL_DEPTH_TEST);/;/' "bodies drawn without the depth test, far over near"
p=render/textures.cpp
# (GL_NEAREST_MIPMAP_LINEAR and GL_BGR by their numbers: the OpenGL 1.1 subset's headers, which
# the application is also compiled against, name neither.)
fault $p '0,/GL_TEXTURE_MIN_FILTER, GL_LINEAR/s//GL_TEXTURE_MIN_FILTER, 0x2702/' "texture objects without a usable filter show white"
fault $p 's/0, GL_RGB, GL_UNSIGNED_BYTE,/0, 0x80E0, GL_UNSIGNED_BYTE,/' "pictures uploaded with red and blue exchanged"
fault $p 's/glPixelStorei(GL_UNPACK_ALIGNMENT, 1);/glPixelStorei(GL_UNPACK_ALIGNMENT, 4);/' "packed rows uploaded as padded rows"
fault $p 's/{"pluto.bmp", 11, "Pluto.bmp"}/{"pluto.bmp", 11, "Saturn2.bmp"}/' "Pluto's list holds the second Saturn picture"
fault $p 's/if (file == nullptr) return nullptr;/if (file == nullptr) return read_bitmap_image(path.c_str());/' "a missing picture reported twice"
fault $p 's/return regular ? read_bitmap_image(path.c_str()) : nullptr;/return read_bitmap_image(path.c_str());/' "a directory named like a picture passes the existence test"
p=render/file_lookup.cpp
fault $p 's/std::strcmp(entry->d_name, found.c_str()) < 0/std::strcmp(entry->d_name, found.c_str()) > 0/' "of pictures named alike in several letter cases, the largest name is read"
fault $p "s/return (c >= 'A' \&\& c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;/return c;/" "a picture whose name differs in letter case is not found"
# Bitmap reader.
p=image/pixel_format.cpp
fault $p 's/const std::size_t target_row = layout.top_down ? height - 1 - row : row;/const std::size_t target_row = row;/' "top-down pictures upside down"
fault $p 's/format->palette\[i\]\[0\] = entry\[2\];/format->palette[i][0] = entry[0];/' "colour tables read with blue for red"
fault $p 's/\* bits + 31) \/ 32 \* 4;/* bits + 7) \/ 8;/' "stored rows read without their padding"
fault $p 's/shift > -bits; shift -= bits/shift > 0; shift -= bits/' "narrow channels not widened to full brightness"
fault $p 's/plain_masks_16\[3\] = {0x7C00, 0x03E0, 0x001F}/plain_masks_16[3] = {0xF800, 0x07E0, 0x001F}/' "16-bit pictures read as 5-6-5"
fault $p 's/return a\[0\] == b\[0\] \&\& a\[1\] == b\[1\] \&\& a\[2\] == b\[2\];/return a[1] == b[1];/' "32-bit bit-field pictures stored blue-green-red shown with red for blue"
fault $p 's/if ((run \& (run + 1)) != 0) return false;/;/' "masks whose bits are not one run read as garbage instead of refused"
p=image/row_converters.cpp
fault $p 's/target\[3 \* x\] = source\[3 \* x + 2\];/target[3 * x] = source[3 * x];/' "24-bit pixels with blue for red"
fault $p 's/(x \& 1) != 0 ? pair \& 0x0F : pair >> 4/(x \& 1) != 0 ? pair >> 4 : pair \& 0x0F/' "4-bit pictures with each pair of pixels swapped"
p=image/run_length.cpp
fault $p '0,/const std::size_t shown = inside_row(count);/s//if (count > width - x) return false; const std::size_t shown = count;/' "odd-width run-length pictures written out to their row padding refused"
fault $p 's/            position += padded_bytes;/            position += (shown + 1) \& ~std::size_t{1};/' "an absolute run cut at the row end garbles the rest of the picture"
fault $p '0,/            if (y >= height) return false;/s//            ;/' "a run below a run-length picture's last row is written past the buffer"
fault image/bitmap_errors.cpp 's/text, "Error", MB_OK/text, "ERROR", MB_OK/' "reader boxes with the wrong caption"
fault image/bitmap_errors.cpp 's/while (length > 0 \&\& (static_cast<unsigned char>(path\[length\]) \& 0xC0) == 0x80) --length;/;/' "a long Korean path cut inside a character in its box"
fault image/bitmap_decode.cpp 's/max_side = 32768;/max_side = 1024;/' "planet maps of 2048 x 1024 refused"
# Catalogue and animation.
p=scene/catalogue.cpp
fault $p 's/{&venus_spin, -243.0, 243.01, false}/{\&venus_spin, -243.0, 243.1, false}/' "Venus spins by 243.1 per frame"
fault $p 's/{&ring_angle, 60.0, 1.2, true}/{\&ring_angle, 60.0, 1.3, true}/' "Saturn's ring drifts off Saturn"
fault $p 's/if (animating == 0) return;/if (animating == 2) return;/' "pausing does not stop the orbits"
fault $p 's/{&moon_disk_angle, 10.0, 1.0, true}/{\&moon_disk_angle, 10.0, 1.0, false}/' "the Moon-orbit disk's angle never wraps: after hours it turns in jerks"
p=scene/bodies.h
fault $p 's/{103, 2, 3, 2.0f, 0.22f,/{103, 2, 3, 2.0f, 0.2f,/' "Venus's radius 0.2"
fault $p 's/{107, 7, 8, 9.0f,/{107, 7, 8, 8.0f,/' "Saturn's distance 8"
fault $p 's/{105, 5, 6,/{105, 6, 6,/' "Mars with Jupiter's texture"
fault $p 's/\&pluto_spin, 15.0f, 1.0f, 0.0f/\&pluto_spin, 0.0f, 1.0f, 0.0f/' "Pluto's orbit axis (0, 1, 0)"
fault $p 's/{101, 0, 1, 0.0f, 0.6f, 100,/{101, 0, 1, 0.0f, 0.6f, 30,/' "the Sun's sphere with 30 segments"
fault $p 's/orbit_distance, 0.0f, 0.0f}, 45.0f,/orbit_distance, 0.0f, 0.0f}, 90.0f,/' "Saturn's ring tilted 90"
fault $p 's/{104, 4, 5, 0.4f,/{104, 4, 5, 0.5f,/' "the Moon 0.5 from Earth"
fault $p 's/{101, 0, 1, 0.0f, 0.6f, 100, nullptr, \&sun_spin, 0.0f, 1.0f, 0.0f, 0.0, false}/{101, 0, 1, 0.0f, 0.6f, 100, nullptr, \&sun_spin, 0.0f, 1.0f, 0.0f, 0.0, true}/' "a colour call added for the Sun"
# Scene drawing.
p=scene/draw_scene.cpp
fault $p 's/quadric_sphere_slices = 100;/quadric_sphere_slices = 20;/' "quadric spheres with 20 slices"
fault $p '/draw_placed_disk(pass, moon_orbit_disk,/{N;s/\(.*\)\n\(.*\)/\2\n\1/}' "Earth's orbit disk drawn before the Moon's"
fault $p 's/if (index == catalogue::earth) place_and_draw(pass, bodies\[catalogue::moon\]);/if (index == catalogue::earth) { rotate_y(-earth_spin); place_and_draw(pass, bodies[catalogue::moon]); }/' "the Moon no longer turns with Earth's spin"
fault $p 's/^    glPushName(body.id);/    glPushName(body.id + 1);/' "bodies drawn under the next body's name"
fault $p 's/gluQuadricTexture(quadric, GL_TRUE);/gluQuadricTexture(quadric, GL_FALSE);/' "quadric spheres without texture coordinates"
fault $p 's/rotate_y(std::fmod(\*body.spin_angle, 360.0));/rotate_y(*body.spin_angle);/' "spins handed over unreduced: after a day of running they turn in jerks"
# Sphere tessellation.
p=scene/sphere.cpp
fault $p '0,/glEnd();/s//;/' "the degenerate sphere leaves glBegin open"
fault $p 's/const float s = static_cast<float>(-(static_cast<double>(j) \/ n));/const float s = static_cast<float>(static_cast<double>(j) \/ n);/' "pictures mirrored on the spheres"
fault $p 's/const long long bands = segments \/ 2;/const long long bands = segments \/ 2 - 1;/' "a hole at the north pole"
# Picking and the information texts.
p=scene/picking.cpp
fault $p 's/static_cast<double>(viewport\[3\] - y)/static_cast<double>(y)/' "clicks picked upside down"
fault $p 's/if (buffer\[0\] == 0) return;/if (buffer[0] == 0) buffer += 3;/' "a nameless first record passed over to the next body"
fault $p 's/^    glPopMatrix();/    ;/' "the projection not restored after a click"
fault $p 's/pick_region_pixels = 2.0;/pick_region_pixels = 60.0;/' "a pick region of 60 pixels"
fault $p 's/    draw_scene_for_selection();/    draw_scene();/' "every click keeps about 1 MB for good on Debian 12 (7 MB with GLU's spheres)"
fault scene/draw_scene.cpp 's/^    draw_placed_disk(pass, saturn_ring, selection_shape::saturn_ring);/    glPushName(107), draw_placed_disk(pass, saturn_ring, selection_shape::saturn_ring), glPopName();/' "a click on Saturn's ring alone shows Saturn's box"
fault app/main_window.cpp 's/    forget_selection_lists();/    ;/' "after F1 a click on a body shows no box"
p=scene/selection_lists.h
fault $p 's/return catalogue::count + body; }/return body; }/' "after F5 a click is tested against the other sphere mode's spheres"
fault $p 's/constexpr int saturn_ring = moon_orbit_disk + 1;/constexpr int saturn_ring = moon_orbit_disk;/' "a click on Saturn's ring is tested against the Moon's orbit disk"
p=scene/draw_scene.cpp
fault $p 's/selection_shape::uv_sphere(index)/selection_shape::uv_sphere(0)/' "clicks beside a body in sphere mode 1 hit it as if it were the Sun's size"
fault $p 's/^    advance_orbits();/    if (pass == Pass::frame) advance_orbits();/' "a click no longer moves the animation on by a step"
p=scene/body_info.cpp
fault $p 's/반지름(Km) : 3397/반지름(Km) : 3398/' "one digit of Mars's radius text"
fault $p 's/{108, "천왕성",/{108, "해왕성",/' "Uranus captioned as Neptune"
# What the packages and the install bring.
fault desktop/org.orrery.Orrery.metainfo.xml 's/desktop-id">org.orrery.Orrery.desktop</desktop-id">orrery.desktop</' "software centres list the program but cannot start it"
fault scripts/deps.sh 's/xfonts-base zenity fonts-nanum)/xfonts-base zenity)/' "on a fresh machine zenity shows the Korean facts as empty squares"

if [ "$only" = --check ]; then
  for i in "${!files[@]}"; do
    sed -e "${edits[$i]}" "$top/${files[$i]}" | cmp -s - "$top/${files[$i]}" &&
      echo "does not apply: ${files[$i]}: ${texts[$i]}"
  done
  echo "${#files[@]} faults"
  exit 0
fi

# The copy is the last commit. Only files that differ from the copy's are
# replaced, so that the build stays incremental.
rm -rf "$work/fresh" && mkdir -p "$work/fresh" "$work/tree" || exit 1
git -C "$top" archive HEAD | tar -x -C "$work/fresh" || exit 1
cd "$work/tree" || exit 1
find . \( -path ./build-m -o -path ./build-w -o -path ./build-wb \) -prune -o -type f -print | while read -r f; do
  [ -e "$work/fresh/$f" ] || rm -f "$f"
done
(cd "$work/fresh" && find . -type f -print) | while read -r f; do
  cmp -s "$work/fresh/$f" "$f" || { mkdir -p "$(dirname "$f")" && cp -p "$work/fresh/$f" "$f" && touch "$f"; }
done
# The Linux build and its baseline, made once the first Linux fault comes up.
linux_ready=''
build() { nice cmake --build build-m -j2 >"$work/build.log" 2>&1; }
exclude=()
prepare_linux() {
  [ -n "$linux_ready" ] && return 0
  nice cmake -S . -B build-m -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
  build || { echo "the unchanged tree does not build; see $work/build.log"; exit 1; }
  (cd build-m && nice ctest -j2 --timeout 300 >"$work/baseline.log" 2>&1)
  broken=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*$/\1/p' "$work/baseline.log" | paste -sd'|')
  # The install and package test checks the packaging, not behaviour, and takes long.
  broken=${broken:+$broken|}install_and_package
  if [ -n "$broken" ]; then
    echo "left out: ${broken//|/ }"
    exclude=(-E "^(${broken})\$")
  fi
  linux_ready=yes
}

# The Windows build and its suite under Wine, made once the first Windows
# fault comes up.
windows_ready=''
build_windows() { nice cmake --build build-w -j2 >"$work/build.log" 2>&1; }
windows_suite() {
  ORRERY_WINEPREFIX="$work/wineprefix" nice scripts/wine_session.sh \
    ctest --test-dir build-w --stop-on-failure --timeout 300 >"$work/ctest.log" 2>&1
}
prepare_windows() {
  [ -n "$windows_ready" ] && return 0
  nice cmake -S . -B build-w --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null && build_windows && windows_suite ||
    { echo "the unchanged tree fails its Windows suite; see $work/ctest.log"; exit 1; }
  windows_ready=yes
}

# The browser build and its suite in headless Chromium (one engine keeps a
# fault short; the others run the same checks), made once the first browser
# fault comes up. A fault runs the test files one at a time and stops at the
# first that fails, so that a caught fault costs one file: first the file
# named by its fourth argument or by its text's trailing "(topic)"
# (tests/web/topic.test.mjs, spaces as underscores), then the rest.
web_ready=''
build_web() { nice scripts/web_page.sh build-wb >"$work/build.log" 2>&1; }
web_file() {
  local build=$work/tree/build-wb
  ORRERY_ENGINE=chromium ORRERY_PAGE_DIR=$build/page ORRERY_NODE_MODULES=$build/npm/node_modules \
    ORRERY_PROFILE_DIR=$build/profiles ORRERY_REFERENCE_FRAME=$build/reference_frame \
    ORRERY_REFERENCE_PICTURES=$build/reference_pictures \
    nice timeout 600 node --test "$1" >"$work/ctest.log" 2>&1
}
web_left_out=' '
web_suite() {
  local topic=$2 first='' files=() file
  [ -n "$topic" ] || topic=$(sed -n 's/.*(\([a-z_ ]*\))$/\1/p' <<<"$1")
  topic=${topic// /_}
  if [ -n "$topic" ] && [ -f "tests/web/$topic.test.mjs" ]; then
    first=tests/web/$topic.test.mjs
    files=("$first")
  fi
  for file in tests/web/*.test.mjs; do [ "$file" = "$first" ] || files+=("$file"); done
  for file in "${files[@]}"; do
    [[ $web_left_out == *" $file "* ]] && continue
    awk -v name="${file##*/}" '$1 == "chromium" && $2 == name { found = 1 } END { exit !found }' \
      tests/web/not_run.txt && continue
    web_file "$file" || return 1
  done
}
prepare_web() {
  [ -n "$web_ready" ] && return 0
  # The whole suite once on the unchanged tree, which also prepares the page's
  # packages and the reference frames; where it fails, the files that fail
  # again on their own are left out.
  if ! nice timeout 1800 tests/web/run.sh build-wb chromium >"$work/ctest.log" 2>&1; then
    [ -f build-wb/page/index.html ] || { echo "the unchanged page does not build; see $work/ctest.log"; exit 1; }
    for file in tests/web/*.test.mjs; do web_file "$file" || web_left_out+="$file "; done
    [ "$web_left_out" = ' ' ] || echo "left out:$web_left_out"
  fi
  web_ready=yes
}

# The unit tests first: most faults fail one of them within seconds, and the
# end-to-end tests then need not run.
suite() {
  (cd build-m && nice ctest -j2 --stop-on-failure --timeout 300 -L "$1" "${exclude[@]}" \
    >"$work/ctest.log" 2>&1)
}

caught=0 total=0 survivors=() unusable=()
for i in "${!files[@]}"; do
  f=${files[$i]} text="${files[$i]}: ${texts[$i]}"
  [[ -z "$only" || "$text" =~ $only ]] || continue
  case ${kinds[$i]} in
    windows) prepare_windows ;;
    web) prepare_web ;;
    *) prepare_linux ;;
  esac
  cp "$f" "$f.orig"
  sed -i -e "${edits[$i]}" "$f"
  if cmp -s "$f" "$f.orig"; then
    result="not applied"
  elif [ "${kinds[$i]}" = windows ]; then
    if ! build_windows; then
      result="does not build"
    elif windows_suite; then
      result=SURVIVED
    else
      result="caught by $(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*$/\1/p' "$work/ctest.log" | head -1)"
    fi
  elif [ "${kinds[$i]}" = web ]; then
    if ! build_web; then
      result="does not build"
    elif web_suite "${texts[$i]}" "${firsts[$i]:-}"; then
      result=SURVIVED
    else
      result="caught by $(sed -n 's/^ *not ok [0-9]* - //p' "$work/ctest.log" | head -1)"
    fi
  elif ! build; then
    result="does not build"
  elif suite unit && suite e2e; then
    result=SURVIVED
  else
    result="caught by $(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*$/\1/p' "$work/ctest.log" | head -1)"
  fi
  mv "$f.orig" "$f" && touch "$f"
  [ "${kinds[$i]}" = windows ] && build_windows
  # (A browser fault's restored file is built with the next fault's, or by the next run's whole suite.)
  echo "$result: $text"
  case $result in
    caught*) caught=$((caught + 1)) total=$((total + 1)) ;;
    SURVIVED) survivors+=("$text") total=$((total + 1)) ;;
    *) unusable+=("$result: $text") ;;
  esac
done
[ -n "$linux_ready" ] && build
for u in "${unusable[@]}"; do echo "left out, $u"; done
echo "not caught by any test:"
for s in "${survivors[@]}"; do echo "  $s"; done
echo "caught $caught of $total"
