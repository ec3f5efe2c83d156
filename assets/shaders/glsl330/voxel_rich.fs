#version 330

// The colour of a pixel in the rich looks: its lit colour (see
// voxel_rich.vs), fading into the fog's colour with its distance from the
// eye, so that the far edge of the world melts into the horizon. With
// NO_FOG defined, for what lies nearer than the fog begins, the lit colour.

in vec2 fragTexCoord;
in vec4 fragColor;
in vec3 fragPosition;
in vec3 fragNormal;
in float fragSheen;

uniform sampler2D texture0;
uniform vec4 colDiffuse;
uniform vec3 eyePosition;
uniform vec3 towardSun;
uniform vec3 sunLight;
uniform vec3 fogColor;
// Where the fog begins, and where it hides everything.
uniform vec2 fogRange;

out vec4 finalColor;

#ifdef SHADOWS
// With SHADOWS defined, the sun's depth map, compared: where something
// nearer the sun stands in front, the sun's share of the colour is taken
// away. Beyond the map, everything is in the sun.
uniform sampler2DShadow shadowMap;
in vec4 fragSunSpace;
in vec3 fragSunColor;

float inTheSun()
{
    vec3 at = fragSunSpace.xyz / fragSunSpace.w * 0.5 + 0.5;
    if (any(lessThan(at, vec3(0.0))) || any(greaterThan(at, vec3(1.0)))) return 1.0;
    return texture(shadowMap, at);
}
#endif

void main()
{
#ifdef FACES
    // Faces of boxes are untextured and untinted.
    vec4 color = fragColor;
#else
    vec4 color = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
#endif
    float sunShows = 1.0;
#ifdef SHADOWS
    // A face turned from the sun has no share to lose.
    if (fragSunColor != vec3(0.0)) {
        sunShows = inTheSun();
        color.rgb -= fragSunColor * (1.0 - sunShows);
    }
#endif
    if (fragSheen > 0.0) {
        // A metal's highlight: the sun mirrored towards the eye.
        vec3 toEye = normalize(eyePosition - fragPosition);
        float mirrored = max(dot(reflect(-towardSun, normalize(fragNormal)), toEye), 0.0);
        color.rgb += sunLight * fragSheen * pow(mirrored, 24.0) * sunShows;
    }
#ifdef NO_FOG
    finalColor = color;
#else
    float fog = smoothstep(fogRange.x, fogRange.y, distance(fragPosition, eyePosition));
    finalColor = vec4(mix(color.rgb, fogColor, fog), color.a);
#endif
}
