#pragma once

// How raylib's own log lines reach the user: its INFO lines only when
// verbose (the program's own "Initialization" line always, on standard
// output), its warnings and errors on standard error, each text once.
void routeRaylibLog(bool verbose);

// From now until a window is opened, raylib's lines wait.
void holdRaylibLog();

// Ends the holding: the lines held are shown when showHeld is set, or when
// verbose, and otherwise dropped.
void releaseRaylibLog(bool showHeld);
