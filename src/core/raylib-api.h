#pragma once

// The one way the program sees raylib. raylib's declarations are placed in
// namespace raylib so that our own classes (such as Shader) can share a name
// with raylib's records. The standard headers raylib pulls in are included
// first, outside the namespace, so nothing of the standard library ends up
// inside it; their include guards then make raylib's own includes no-ops.
#include <math.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stdlib.h>

namespace raylib {
#include <raylib.h>
#include <raymath.h>
}  // namespace raylib
