#pragma once

// Opens raylib's window, hidden when asked. Until it is open, raylib's lines
// are held (also those since holdRaylibLog): shown when the window opens, or
// when verbose, and otherwise dropped, since the caller then says in one
// line why there is no window. False when there is none.
bool openWindow(int width, int height, char const* title, unsigned flags);
