#pragma once

#include <vector>

#include "aabox.h"

// The side of the cells a chunk's solid boxes are coarsened to: twice its
// smallest box, and no less than a 64th of the boxes' extent, so that the
// grid stays small; 0 when it has no solid boxes.
float coarseCellSide(std::vector<AABox const*> const& boxes);

// The solid boxes as they look from so far that a cell of the given side
// is less than a pixel: on a grid of such cells from the boxes' lowest
// corner, a box filling each cell the boxes fill at least half of, in the
// colour that fills most of it. Empty when the grid would not look the
// same: when it would hold an eighth more or less than the boxes, or the
// boxes overlap more cells than are worth looking at.
std::vector<AABox> coarseBoxes(std::vector<AABox const*> const& boxes, float side);
