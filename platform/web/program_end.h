// The program's end, which the page learns of (Module.onExit in index.html).
#pragma once

// Sets up the watch on the program's waits; once, before the first wait.
void watch_for_the_end();
