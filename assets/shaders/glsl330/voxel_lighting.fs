#version 330

// The colour of a pixel: its texture times its colours, which carry the
// light its vertices worked out (see voxel_lighting.vs).

in vec2 fragTexCoord;
in vec4 fragColor;

uniform sampler2D texture0;
uniform vec4 colDiffuse;
// Set by the program on request; the lighting does not depend on it.
uniform vec3 viewPos;

out vec4 finalColor;

void main()
{
#ifdef FACE_LIGHT
    // Faces given their light are untextured and untinted.
    finalColor = fragColor;
#else
    finalColor = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
#endif
}
