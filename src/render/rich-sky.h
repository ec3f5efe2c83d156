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

    // Draws the sky's dome over the current 3D view, cleared to the
    // horizon's colour before, under everything drawn after it: a fill
    // that tests no depth costs a software renderer least.
    void drawDome(Atmosphere const& atmosphere) const;
    // Draws the sun where the view shows nothing nearer than its far plane.
    void drawSun(Atmosphere const& atmosphere) const;

private:
    // Readies the program for the view and the atmosphere, and the state
    // both draw in; undone by endDrawing.
    void beginDrawing(raylib::Shader program, Atmosphere const& atmosphere) const;
    static void endDrawing();

    // The dome's program and the sun's.
    raylib::Shader dome{}, sun{};
    // An empty vertex array: the programs make their corners themselves.
    unsigned vertexArray = 0;
};
