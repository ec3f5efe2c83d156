#pragma once

// The whole life of the game: window, loading, frame loop and shutdown.
void runGame();

// Draws one complete frame of the loading screen.
void renderInitScreen();
