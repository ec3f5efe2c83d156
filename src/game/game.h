#pragma once

#include <string>

// Where the game finds its scene, relative to the working directory.
inline constexpr char const* SCENE_PATH = "assets/scenes/des/demo_scene.txt";
inline constexpr int RANDOM_SEED = 31998;

// The whole life of the game: window, loading screen, scene, frame loop and
// shutdown. Returns the process's exit status: 0 after a normal close, 1 when
// the scene could not be loaded.
int runGame();

// The window scale for the current monitor.
float calcUIScale();

// Draws one complete frame of the loading screen.
void renderInitScreen();

// Seeds raylib's generator and rand() with RANDOM_SEED.
void initRandomToken();
