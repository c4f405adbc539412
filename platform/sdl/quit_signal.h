// The program being told to end: SIGINT and SIGTERM, which SDL turns into
// its quit event, and SIGHUP, which SDL leaves alone. Main thread only.
#pragma once

// Catches SIGHUP, unless it is ignored (as under nohup).
void install_hangup_handler();
// Called by each event pump: a hang-up since the last one becomes SDL's quit
// event, so that all three signals take the same road.
void forward_hangup();
