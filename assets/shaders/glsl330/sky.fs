#version 330

// The sky of the rich looks: the horizon's colour rising into the zenith's,
// the sun's disc with a glow around it; below the horizon, the horizon's
// colour, which the fog fades the world into.

in vec3 direction;

uniform vec3 towardSun;
uniform vec3 horizonColor;
uniform vec3 zenithColor;
uniform vec3 sunColor;

out vec4 finalColor;

void main()
{
    vec3 look = normalize(direction);
    vec3 sky = mix(horizonColor, zenithColor, pow(max(look.y, 0.0), 0.6));
    float towards = dot(look, towardSun);
    float glow = 0.35 * pow(max(towards, 0.0), 64.0);
    float disc = smoothstep(0.9995, 0.9997, towards);
    finalColor = vec4(mix(sky + glow * sunColor, sunColor, disc), 1.0);
}
