#pragma once

#include <string>

#include "atmosphere.h"
#include "raylib-api.h"

// The sky of the rich looks, drawn behind everything: the horizon's colour
// rising into the zenith's, and the sun. Needs the graphics context for its
// whole life.
class RichSky {
public:
    // Its programs are read from the assets under assetRoot.
    explicit RichSky(std::string const& assetRoot = "");
    ~RichSky();
    RichSky(RichSky const&) = delete;
    RichSky& operator=(RichSky const&) = delete;

    // Draws the sky where the current 3D view shows nothing nearer than its
    // far plane, the view cleared to the horizon's colour before.
    void draw(Atmosphere const& atmosphere) const;

private:
    // The dome's program and the sun's.
    raylib::Shader dome{}, sun{};
    // An empty vertex array: the programs make their corners themselves.
    unsigned vertexArray = 0;
};
