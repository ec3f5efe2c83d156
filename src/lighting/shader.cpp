#include "shader.h"

Shader::~Shader() {
    raylib::UnloadShader(shader);
}
