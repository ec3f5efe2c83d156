#pragma once

#include <cstdint>
#include <vector>

#include "aabox.h"
#include "box-faces.h"

// Which faces of each box can be seen at all, as a mask with bit f set when
// face f can: a face is hidden when an opaque box lies against it on the
// other side, with a face in the same plane that covers it whole. Faces are
// compared where the boxes are drawn, at centre ± size / 2; planes a few
// float steps apart count as one. Boxes that are not opaque or not solid
// (alpha below 255, a size not above 0) keep every face and hide none.
std::vector<uint8_t> visibleFaces(std::vector<AABox const*> const& boxes);
