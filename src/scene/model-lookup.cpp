#include "model-lookup.h"

#include <algorithm>
#include <filesystem>

#include "problem.h"

namespace fs = std::filesystem;

namespace {

// The game's models folder, with its "/".
std::string gameModelsFolder(std::string const& assetRoot) {
    return assetRoot.empty() ? "assets/models/" : (fs::path(assetRoot) / "assets/models/").string();
}

}  // namespace

ModelLookup lookUpModel(std::string const& name, ModelPlaces const& places) {
    ModelLookup lookup;
    if (!places.sceneFolder.empty()) lookup.places.push_back(places.sceneFolder + "/models/" + name + ".vox");
    lookup.places.push_back(gameModelsFolder(places.assetRoot) + name + ".vox");
    lookup.path = lookup.places.back();
    fs::path const named(name);
    lookup.outside = named.is_absolute() || std::find(named.begin(), named.end(), "..") != named.end();
    std::error_code unknown;
    for (std::string const& place : lookup.places) {
        if (fs::exists(place, unknown)) {
            lookup.path = place;
            lookup.found = true;
            break;
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
