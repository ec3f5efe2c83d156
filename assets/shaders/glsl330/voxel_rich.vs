#version 330

// The rich looks: a face is lit by the sky, brighter from above than from
// below, and by the sun where it turns towards it. The light is worked out
// once a vertex and carried in the vertex's colour; the fragment program
// adds the fog, which needs the pixel's distance.

// With FACES defined, each instance is one face of a box, as the light
// shader's faces are (see voxel_lighting.vs); otherwise raylib's default
// attribute names.
#ifdef FACES
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

// The way to the sun, and the light of the sun, of the sky overhead and of
// the sky seen from below.
uniform vec3 towardSun;
uniform vec3 sunLight;
uniform vec3 skyLight;
uniform vec3 groundLight;

out vec2 fragTexCoord;
out vec4 fragColor;
out vec3 fragPosition;

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

    vec3 light = mix(groundLight, skyLight, normal.y * 0.5 + 0.5) + sunLight * max(dot(normal, towardSun), 0.0);

    fragTexCoord = vertexTexCoord;
    fragColor = vec4(vertexColor.rgb * light, vertexColor.a);
    fragPosition = position;
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
