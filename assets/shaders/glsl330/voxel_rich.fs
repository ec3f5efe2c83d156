#version 330

// The colour of a pixel in the rich looks: its lit colour (see
// voxel_rich.vs), fading into the fog's colour with its distance from the
// eye, so that the far edge of the world melts into the horizon. With
// NO_FOG defined, for what lies nearer than the fog begins, the lit colour.

in vec2 fragTexCoord;
in vec4 fragColor;
in vec3 fragPosition;

uniform sampler2D texture0;
uniform vec4 colDiffuse;
uniform vec3 eyePosition;
uniform vec3 fogColor;
// Where the fog begins, and where it hides everything.
uniform vec2 fogRange;

out vec4 finalColor;

void main()
{
#ifdef FACES
    // Faces of boxes are untextured and untinted.
    vec4 color = fragColor;
#else
    vec4 color = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
#endif
#ifdef NO_FOG
    finalColor = color;
#else
    float fog = smoothstep(fogRange.x, fogRange.y, distance(fragPosition, eyePosition));
    finalColor = vec4(mix(color.rgb, fogColor, fog), color.a);
#endif
}
