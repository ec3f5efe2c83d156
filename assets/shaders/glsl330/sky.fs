#version 330

// The sky of the rich looks (see sky.vs): the dome's colour, or over the
// sun's square, the sun's disc and its glow, laid over the dome by their
// cover.

in vec3 direction;
in vec3 skyColor;

uniform vec3 towardSun;
uniform vec3 sunColor;

out vec4 finalColor;

void main()
{
#ifdef SUN
    // Squares rather than a power, which costs a software renderer far more.
    float towards = max(dot(normalize(direction), towardSun), 0.0);
    float glow = towards * towards;
    glow *= glow;
    glow *= glow;
    glow *= glow;
    glow = 0.35 * glow * glow * glow;
    float disc = smoothstep(0.9995, 0.9997, towards);
    finalColor = vec4(sunColor, max(disc, glow));
#else
    finalColor = vec4(skyColor, 1.0);
#endif
}
