// The page's keys and mouse as the layer's messages.
#pragma once

// Registers the page's key and mouse handlers; once, with the first window.
void listen_to_input();
