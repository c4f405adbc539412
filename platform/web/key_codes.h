// The browser's key names (KeyboardEvent.code: the key's place on the
// keyboard) as the virtual-key codes the desktop backends give.
#pragma once

#include "platform/window_system.h"

// 0 for keys the program has no code for.
WParam virtual_key(const char* code);
// Keys whose browser action (scrolling, reloading, help, leaving the page)
// would get in the program's way: the program alone acts on them.
bool key_kept_from_browser(WParam key);
