#pragma once

#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "player.h"
#include "scene-reader.h"

// Every problem of a scene, in file order, found by reading it as the game
// would, seeded as the game seeds, into a world without graphics: a scene
// can be checked where no display exists. The player (its box keeps clouds
// clear) is read, not moved. Nothing is logged.
std::vector<SceneProblem> checkScene(std::istream& scene, std::string const& sourceName,
                                     std::shared_ptr<Player> player);

// "FILE:LINE:COLUMN: error: message", as compilers write a problem.
std::string describeProblem(std::string const& sourceName, SceneProblem const& problem);
