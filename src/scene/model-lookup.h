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
    // The places looked in for a .vox, in order (a name with the ending of
    // a format, for that file alone).
    std::vector<std::string> places;
    // Every file that would be read once it is there: of each format, in
    // each folder, in order.
    std::vector<std::string> candidates;
    // The files of the same name but of other formats, in the folder the
    // one found is in: a scene that means one of them names its ending.
    std::vector<std::string> alternatives;
    bool found = false;
    // An absolute name, or one with "..": never read, wherever it points.
    bool outside = false;
};

// A model's name is looked for as NAME.vox, then in the other formats
// (NAME.qb, NAME.qbt, ...), in the scene's models folder and then in the
// game's; a name that ends as one of the formats do is that file alone.
ModelLookup lookUpModel(std::string const& name, ModelPlaces const& places);
// The same without looking at the files: the places and the candidates
// alone, nothing found.
ModelLookup modelCandidates(std::string const& name, ModelPlaces const& places);

// Why the model of that name does not load, when its file is not found or
// may not be read; empty otherwise.
std::string lookupProblem(std::string const& name, ModelLookup const& lookup);
