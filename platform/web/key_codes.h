// The browser's key names (KeyboardEvent.code: the key's place on the
// keyboard) as the virtual-key codes the desktop backends give.
#pragma once

#include "platform/window_system.h"

// 0 for keys the program has no code for.
WParam virtual_key(const char* code);
// Keys whose browser action (scrolling, reloading, help, the find bar,
// moving the focus away) would get in the program's way: F1 to F5, Space,
// Tab, Escape and the keypad's keys. The program alone acts on them.
bool key_kept_from_browser(WParam key);
