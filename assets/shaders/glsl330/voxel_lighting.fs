#version 330

// Lights every face by its orientation alone: an ambient term plus, for each
// enabled light, a wrapped (half-Lambert) diffuse term, so faces turned away
// from a light are darker but never black and each face of a box gets its
// own shade. Type 1 is a directional light shining from its position toward
// its target (the game's lights); type 0 a point light at its position.

in vec2 fragTexCoord;
in vec4 fragColor;
in vec3 fragNormal;
in vec3 fragPosition;

uniform sampler2D texture0;
uniform vec4 colDiffuse;

#define MAX_LIGHTS 4
#define LIGHT_DIRECTIONAL 1

struct Light {
    int enabled;
    int type;
    vec3 position;
    vec3 target;
    vec4 color;
};

uniform Light lights[MAX_LIGHTS];
uniform vec4 ambient;
// Set by the program on request; the lighting does not depend on it.
uniform vec3 viewPos;

out vec4 finalColor;

const float DIFFUSE_WEIGHT = 0.8;

void main()
{
    vec4 base = texture(texture0, fragTexCoord) * colDiffuse * fragColor;
    vec3 normal = normalize(fragNormal);

    vec3 light = ambient.rgb;
    for (int i = 0; i < MAX_LIGHTS; i++)
    {
        if (lights[i].enabled == 0) continue;
        vec3 toLight = (lights[i].type == LIGHT_DIRECTIONAL)
            ? lights[i].position - lights[i].target
            : lights[i].position - fragPosition;
        float facing = dot(normal, normalize(toLight)) * 0.5 + 0.5;
        light += DIFFUSE_WEIGHT * facing * lights[i].color.rgb;
    }

    finalColor = vec4(base.rgb * light, base.a);
}
