#version 330

// The colour of a pixel in the rich looks: its lit colour (see
// voxel_rich.vs), a model's darkened by its shade on its texture of shades,
// fading into the fog's colour with its depth before the eye, so that the
// far edge of the world melts into the horizon. With
// NO_FOG defined, for what lies nearer than the fog begins, the lit colour.

in vec2 fragTexCoord;
in vec4 fragColor;
#ifdef SHEEN
in vec3 fragPosition;
in vec3 fragNormal;
in float fragSheen;
#endif

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
// away. Beyond the map, everything is in the sun: the lookup clamps to the
// map's edge, which is left at the farthest depth.
uniform sampler2DShadow shadowMap;
in vec3 fragSunSpace;
#ifdef FACE_LIGHT
// The faces of a list share their light, and so the share of it that is
// the sun's, channel by channel: one fewer value to carry a pixel.
uniform vec3 faceSunShare;
#else
in vec3 fragSunColor;
#endif
#endif

void main()
{
#ifdef FACES
    // Faces of boxes are untextured and untinted.
    vec4 color = fragColor;
#else
    vec4 color = colDiffuse * fragColor;
#endif
    float sunShows = 1.0;
#ifdef SHADOWS
    // A face turned from the sun has no share to lose; beyond the map's
    // far side, everything is in the sun.
    sunShows = texture(shadowMap, vec3(fragSunSpace.xy, min(fragSunSpace.z, 1.0)));
#ifdef FACE_LIGHT
    vec3 fragSunColor = color.rgb * faceSunShare;
#endif
    color.rgb -= fragSunColor * (1.0 - sunShows);
#endif
#ifndef FACES
    // The red channel: a one-channel texture has no others everywhere.
    color.rgb *= texture(texture0, fragTexCoord).r;
#endif
#ifdef SHEEN
    // A metal's highlight: the sun mirrored towards the eye. A software
    // renderer works out both sides of a branch for every pixel, so only
    // models with a metal are drawn with it.
    if (fragSheen > 0.0) {
        vec3 toEye = normalize(eyePosition - fragPosition);
        float mirrored = max(dot(reflect(-towardSun, normalize(fragNormal)), toEye), 0.0);
        color.rgb += sunLight * fragSheen * pow(mirrored, 24.0) * sunShows;
    }
#endif
#ifdef NO_FOG
    finalColor = color;
#else
    // The pixel's depth before the eye, which a perspective view hands
    // every pixel (an orthographic one has none: no fog): the far plane,
    // where the world is cut off, lies at one depth too.
    float fog = smoothstep(fogRange.x, fogRange.y, 1.0 / gl_FragCoord.w);
    finalColor = vec4(mix(color.rgb, fogColor, fog), color.a);
#endif
}
