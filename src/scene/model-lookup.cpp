#include "model-lookup.h"

#include <algorithm>
#include <filesystem>

#include "model-formats.h"
#include "problem.h"

namespace fs = std::filesystem;

namespace {

// The game's models folder, with its "/".
std::string gameModelsFolder(std::string const& assetRoot) {
    return assetRoot.empty() ? "assets/models/" : (fs::path(assetRoot) / "assets/models/").string();
}

}  // namespace

ModelLookup modelCandidates(std::string const& name, ModelPlaces const& places) {
    ModelLookup lookup;
    std::vector<std::string> folders;
    if (!places.sceneFolder.empty()) folders.push_back(places.sceneFolder + "/models/");
    folders.push_back(gameModelsFolder(places.assetRoot));
    bool const ending = hasModelExtension(name);
    for (std::string const& folder : folders) {
        lookup.places.push_back(folder + name + (ending ? "" : ".vox"));
        if (ending) {
            lookup.candidates.push_back(folder + name);
            continue;
        }
        for (char const* extension : MODEL_EXTENSIONS) lookup.candidates.push_back(folder + name + extension);
    }
    lookup.path = lookup.places.back();
    fs::path const named(name);
    lookup.outside = named.is_absolute() || std::find(named.begin(), named.end(), "..") != named.end();
    return lookup;
}

ModelLookup lookUpModel(std::string const& name, ModelPlaces const& places) {
    ModelLookup lookup = modelCandidates(name, places);
    std::error_code unknown;
    for (std::string const& candidate : lookup.candidates) {
        if (!fs::exists(candidate, unknown)) continue;
        if (!lookup.found) {
            lookup.path = candidate;
            lookup.found = true;
        } else if (fs::path(candidate).parent_path() == fs::path(lookup.path).parent_path()) {
            lookup.alternatives.push_back(candidate);
        }
    }
    return lookup;
}

std::string lookupProblem(std::string const& name, ModelLookup const& lookup) {
    if (lookup.outside) {
        return "the model name " + printable(name) + " leaves the models folders: no absolute path, no ..";
    }
    if (lookup.found) return "";
    std::vector<std::string> const& places = lookup.places;
    return "the model " + printable(name) +
           (places.size() > 1 ? " is in neither " + places[0] + " nor " + places[1] : " is not in " + places[0]);
}
