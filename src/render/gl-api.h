#pragma once

// The OpenGL functions that raylib does not wrap (occlusion queries,
// generic attribute values, glFinish): OpenGL 3.3 on the desktop, OpenGL ES
// 3.0 (WebGL 2) in a browser.
#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#endif
