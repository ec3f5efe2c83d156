#version 330

// Lights every face by its orientation alone: an ambient term plus, for each
// enabled light, a wrapped (half-Lambert) diffuse term, so faces turned away
// from a light are darker but never black and each face of a box gets its
// own shade. Type 1 is a directional light shining from its position toward
// its target (the game's lights); type 0 a point light at its position.
//
// The light is worked out once a vertex, not once a pixel, and passed on
// already multiplied into the vertex's colour: a face's normal and colour
// are the same at all its corners, so for directional lights the result is
// the same, and a pixel costs only its texture's colour.

// With FACES defined (the program adds it after the version line), each
// instance is one face of a box: its centre, half its size and its colour;
// the draw gives the face's normal, and the six corners of its two
// triangles as signs of the half size; the lists of faces are baked for
// these locations. With FACE_LIGHT defined as well, see below.
// Otherwise raylib's default attribute names.
#if defined(FACE_LIGHT)
in vec3 vertexPosition;
in vec4 vertexColor;
#elif defined(FACES)
layout(location = 0) in vec3 instanceCenter;
layout(location = 1) in vec3 instanceHalf;
layout(location = 2) in vec4 instanceColor;
uniform vec3 faceNormal;
uniform vec3 faceCorners[6];
#else
in vec3 vertexPosition;
in vec2 vertexTexCoord;
in vec3 vertexNormal;
in vec4 vertexColor;
#endif

uniform mat4 mvp;
uniform mat4 matModel;
uniform mat4 matNormal;

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

out vec2 fragTexCoord;
out vec4 fragColor;

const float DIFFUSE_WEIGHT = 0.8;

#ifdef FACE_LIGHT
// With FACE_LIGHT defined as well, each vertex is a corner of a merged
// face, with its place and its colour, and the light on the faces of the
// list, the same at every corner when every light is directional, is
// worked out once for the list and given: a corner costs only its place.
uniform vec3 faceLight;

void main()
{
    fragTexCoord = vec2(0.0);
    fragColor = vec4(vertexColor.rgb * faceLight, vertexColor.a);
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
#else
void main()
{
#ifdef FACES
    vec3 vertexPosition = instanceCenter + faceCorners[gl_VertexID] * instanceHalf;
    vec2 vertexTexCoord = vec2(0.0);
    vec3 vertexNormal = faceNormal;
    vec4 vertexColor = instanceColor;
#endif
    vec3 position = vec3(matModel * vec4(vertexPosition, 1.0));
    vec3 normal = normalize(vec3(matNormal * vec4(vertexNormal, 0.0)));

    vec3 light = ambient.rgb;
    for (int i = 0; i < MAX_LIGHTS; i++)
    {
        if (lights[i].enabled == 0) continue;
        vec3 toLight = (lights[i].type == LIGHT_DIRECTIONAL)
            ? lights[i].position - lights[i].target
            : lights[i].position - position;
        float facing = dot(normal, normalize(toLight)) * 0.5 + 0.5;
        light += DIFFUSE_WEIGHT * facing * lights[i].color.rgb;
    }

    fragTexCoord = vertexTexCoord;
    fragColor = vec4(vertexColor.rgb * light, vertexColor.a);
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
#endif
