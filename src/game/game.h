#pragma once

#include <string>

#include <vector>

#include "scene-loader.h"
#include "settings-file.h"

// How a run of the game is asked for on its command line.
struct GameOptions {
    // The scene it plays: absolute, or relative to the asset root.
    std::string scenePath = SCENE_PATH;
    // When set, the play is recorded to this file.
    std::string recordPath;
    // When set, this recording is played instead, on its scene, as fast as
    // the renderer allows, and where the player ends is printed.
    std::string replayPath;
    // The recording as the command line names it, in what is printed.
    std::string replayName;
    // Where the settings are read from and saved to, and settings changed
    // for this run only ("KEY=VALUE").
    std::string settingsPath = defaultSettingsPath();
    std::vector<std::string> sets;
    // The folder that holds assets/ (see assetPath); empty for the working
    // directory.
    std::string assetRoot;
    // When set, the server (HOST or HOST:PORT) whose scene is played, with
    // the others on it; the name the player asks to be known by, and the
    // file that holds the server's password.
    std::string joinServer;
    std::string playerName;
    std::string passwordFile;
};

// The whole life of the game: window, loading screen, scene, frame loop and
// shutdown. Returns the process's exit status: 0 after a normal close, 1 when
// the scene could not be loaded.
int runGame();
int runGame(GameOptions const& options);

// The program: reads the command line (tessarine [SCENE | --join HOST[:PORT]
// [--name NAME] [--password-file FILE]] [--record FILE | --replay FILE]
// [--settings FILE] [--set KEY=VALUE]... [--verbose]) and
// runs the game. A bad command line gets a one-line
// error and the usage, with status 2; a scene file that cannot be opened, a
// recording that cannot be played and a display where no window can be
// made, a one-line error saying so, with status 1.
int gameMain(int argc, char** argv);

// The window scale for the current monitor.
float calcUIScale();

// Draws one complete frame of the loading screen.
void renderInitScreen();
