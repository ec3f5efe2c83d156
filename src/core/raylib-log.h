#pragma once

// How raylib's own log lines reach the user: its INFO lines only when
// verbose (the program's own "Initialization" line always, on standard
// output), its warnings and errors on standard error, each text once.
void routeRaylibLog(bool verbose);

// From now until a window is opened, raylib's lines wait.
void holdRaylibLog();

// Opens raylib's window, hidden when asked. Until it is open, raylib's lines
// are held (also those since holdRaylibLog): shown when the window opens, or
// when verbose, and otherwise dropped, since the caller then says in one
// line why there is no window. False when there is none.
bool openWindow(int width, int height, char const* title, unsigned flags);
