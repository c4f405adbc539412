// What the layer and the box program (orrery-box) say to each other: the
// program's arguments and its exit statuses. Nothing else passes between them.
#pragma once

// orrery-box CAPTION TEXT FLAGS OWNER DRIVER
//   CAPTION, TEXT  UTF-8
//   FLAGS          the message-box flags, decimal (MB_OK or MB_YESNO plus an icon)
//   OWNER          the owner's X11 window id, decimal; 0 for none
//   DRIVER         SDL's video driver of the program ("x11", "wayland"), or ""
constexpr int BOX_ARGUMENT_COUNT = 5;

// Exit statuses. The answers sit apart from 0, 1 and 2 (what Xlib's and the C
// library's own error exits use) and from the shell's 126 and 127, so that a
// box program that died some other way is never read as an answer.
constexpr int BOX_EXIT_OK = 40;      // OK, Return or Escape on an OK box, or closed
constexpr int BOX_EXIT_YES = 41;     // Yes or Return
constexpr int BOX_EXIT_NO = 42;      // No, Escape, or the box closed without a button
constexpr int BOX_EXIT_NO_BOX = 43;  // no box could be shown
