#pragma once

#include <memory>
#include <string>

#include "raylib-api.h"

// Loads a model file. A .vox file is read and checked by the game itself and
// its meshes are built on the CPU, so it can be measured without a window;
// they are uploaded to the GPU when a window exists. A file the check
// refuses is logged, naming it and what is wrong, and a file that cannot be
// read is left to raylib, which reports it: both get the model raylib gives
// for a file it cannot read (no meshes, one default material), so the game
// goes on. Other formats are raylib's and need a window.
raylib::Model loadModelChecked(std::string const& path);

// What keeps a model file from being shown as it is: it cannot be read, or
// the game refuses it. Empty when it loads.
std::string modelFileProblem(std::string const& path);

// A model loaded from a file with the light shader on its materials (when a
// window exists), unloaded when the last holder lets go.
class LoadedModel {
public:
    explicit LoadedModel(std::string const& path);
    ~LoadedModel();
    LoadedModel(LoadedModel const&) = delete;
    LoadedModel& operator=(LoadedModel const&) = delete;

    raylib::Model const model;
};

// The model of a file, loaded once and shared by everyone who asks for the
// same file, unchanged since, while any of them still holds it. A model
// loaded without a window is not shared with those who ask once a window
// exists.
std::shared_ptr<LoadedModel const> sharedModel(std::string const& path);
