#version 330

// The sky of the rich looks, made here from the vertex's number alone: a
// dome of rings around the eye, each vertex coloured from the horizon's
// colour to the zenith's by how high it looks, so that a pixel costs only
// its colour. With SUN defined, a square around the way to the sun instead,
// over which the fragment program draws the sun's disc and glow.
// Directions are drawn at the far plane (w = 0 leaves out the eye's place).

uniform mat4 viewProjection;
uniform vec3 towardSun;
uniform vec3 horizonColor;
uniform vec3 zenithColor;

out vec3 direction;
out vec3 skyColor;

const int SEGMENTS = 24;
const int RINGS = 8;
const float HALF_PI = 1.5707963;
// Half the side of the sun's square, one unit from the eye: where its glow
// has faded.
const float SUN_SQUARE = 0.5;

// The corners of a square's two triangles, as steps along its sides.
const ivec2 STEPS[6] = ivec2[6](ivec2(0, 0), ivec2(1, 0), ivec2(1, 1), ivec2(0, 0), ivec2(1, 1), ivec2(0, 1));

// The height of ring r, from the horizon (ring 0) up, spaced so that the
// sky's colour changes alike from ring to ring. Below the horizon the sky
// is the horizon's colour, which the frame is cleared to: no dome there.
float elevationOf(int ring)
{
    float t = float(ring) / float(RINGS);
    return asin(t * t);
}

void main()
{
    ivec2 step = STEPS[gl_VertexID % 6];
#ifdef SUN
    vec3 side = normalize(cross(towardSun, abs(towardSun.y) < 0.99 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0)));
    vec3 up = cross(side, towardSun);
    direction = towardSun + SUN_SQUARE * ((float(step.x) * 2.0 - 1.0) * side + (float(step.y) * 2.0 - 1.0) * up);
    skyColor = vec3(0.0);
#else
    int square = gl_VertexID / 6;
    int segment = square % SEGMENTS + step.x;
    int ring = square / SEGMENTS + step.y;
    float azimuth = float(segment) * 4.0 * HALF_PI / float(SEGMENTS);
    float elevation = elevationOf(ring);
    direction = vec3(cos(elevation) * cos(azimuth), sin(elevation), cos(elevation) * sin(azimuth));
    skyColor = mix(horizonColor, zenithColor, sqrt(max(direction.y, 0.0)));
#endif
    gl_Position = (viewProjection * vec4(direction, 0.0)).xyww;
}
