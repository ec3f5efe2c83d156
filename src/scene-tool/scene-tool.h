#pragma once

// The tessarine-scene program: check, stats, render and web, each with --help.
// Returns the exit status: 0 when all is well, 1 when a scene has a problem
// (or a picture cannot be made), 2 for a bad command line.
int runSceneTool(int argc, char** argv);
