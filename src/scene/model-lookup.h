#pragma once

#include <string>
#include <vector>

// Where the models a scene names are looked for: the scene's own models
// folder, then the game's, under the folder that holds its assets.
struct ModelPlaces {
    // The folder of the scene file; empty when there is none.
    std::string sceneFolder{};
    // The folder that holds assets/; empty for the working directory.
    std::string assetRoot{};
};

// A model's name looked up.
struct ModelLookup {
    // The file found, or the game's place for it when there is none.
    std::string path;
    // The places looked in, in order.
    std::vector<std::string> places;
    bool found = false;
    // An absolute name, or one with "..": never read, wherever it points.
    bool outside = false;
};

ModelLookup lookUpModel(std::string const& name, ModelPlaces const& places);

// Why the model of that name does not load, when its file is not found or
// may not be read; empty otherwise.
std::string lookupProblem(std::string const& name, ModelLookup const& lookup);
