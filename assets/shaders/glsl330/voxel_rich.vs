#version 330

// The rich looks: a face is lit by the sky, brighter from above than from
// below, and by the sun where it turns towards it. The light is worked out
// once a vertex and carried in the vertex's colour; the fragment program
// adds the fog, which needs the pixel's depth (a vertex's would fog the
// middle of a large floor as its far corners).

// With FACES defined, each instance is one face of a box, as the light
// shader's faces are (see voxel_lighting.vs); otherwise raylib's default
// attribute names. With FACE_LIGHT defined as well, each vertex is a
// corner of a merged face, its colour darkened by the share of the light
// its neighbours leave it, and the light of the faces of the list is
// given, worked out once for the list.
#if defined(FACE_LIGHT)
in vec3 vertexPosition;
in vec4 vertexColor;
uniform vec3 faceNormal;
#elif defined(FACES)
layout(location = 0) in vec3 instanceCenter;
layout(location = 1) in vec3 instanceHalf;
layout(location = 2) in vec4 instanceColor;
uniform vec3 faceNormal;
uniform vec3 faceCorners[6];
#else
in vec3 vertexPosition;
in vec2 vertexTexCoord;
in vec2 vertexTexCoord2;
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
#ifdef FACE_LIGHT
uniform vec3 faceLight;
#endif

out vec2 fragTexCoord;
out vec4 fragColor;
// A model's vertex carries where its corner's shade lies on the texture
// of its shades as its texture coordinates, and its colour's material as
// its second ones: its glow (1: it shows its colour whatever the light) and
// its sheen (a metal's highlight of the sun), both 0 for other vertices.
// With SHEEN defined, for models with a metal, what the highlight needs.
#ifdef SHEEN
out vec3 fragPosition;
out vec3 fragNormal;
out float fragSheen;
#endif
#ifdef SHADOWS
// With SHADOWS defined, where the vertex lies in the sun's depth map (its
// view is orthographic: no division), and the share of its colour the sun
// gives, which a shadow takes away; a list given its light has one share
// for all its faces (see voxel_rich.fs).
uniform mat4 sunViewProjection;
out vec3 fragSunSpace;
#ifndef FACE_LIGHT
out vec3 fragSunColor;
#endif
#endif

void main()
{
#ifdef FACE_LIGHT
    vec2 vertexTexCoord = vec2(0.0);
#elif defined(FACES)
    vec3 vertexPosition = instanceCenter + faceCorners[gl_VertexID] * instanceHalf;
    vec2 vertexTexCoord = vec2(0.0);
    vec3 vertexNormal = faceNormal;
    vec4 vertexColor = instanceColor;
#endif
    vec3 position = vec3(matModel * vec4(vertexPosition, 1.0));
#ifdef FACE_LIGHT
    vec3 light = faceLight;
    vec3 sun = sunLight * max(dot(faceNormal, towardSun), 0.0);
#else
    vec3 normal = normalize(vec3(matNormal * vec4(vertexNormal, 0.0)));
    vec3 sun = sunLight * max(dot(normal, towardSun), 0.0);
    vec3 light = mix(groundLight, skyLight, normal.y * 0.5 + 0.5) + sun;
#endif
#ifndef FACES
    float glow = vertexTexCoord2.x;
    light = mix(light, vec3(1.0), glow);
    sun *= 1.0 - glow;
#endif
#ifdef SHEEN
    fragPosition = position;
    fragNormal = normal;
    fragSheen = vertexTexCoord2.y;
#endif
#ifdef SHADOWS
    fragSunSpace = (sunViewProjection * vec4(position, 1.0)).xyz * 0.5 + 0.5;
#ifndef FACE_LIGHT
    fragSunColor = vertexColor.rgb * sun;
#endif
#endif

    fragTexCoord = vertexTexCoord;
    fragColor = vec4(vertexColor.rgb * light, vertexColor.a);
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}
