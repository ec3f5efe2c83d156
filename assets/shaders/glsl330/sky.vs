#version 330

// One triangle over the whole view, each corner carrying the way the view
// looks through it, from the inverse of the view and projection.

uniform mat4 inverseViewProjection;

out vec3 direction;

void main()
{
    vec2 corner = vec2(gl_VertexID == 1 ? 3.0 : -1.0, gl_VertexID == 2 ? 3.0 : -1.0);
    vec4 far = inverseViewProjection * vec4(corner, 1.0, 1.0);
    vec4 near = inverseViewProjection * vec4(corner, -1.0, 1.0);
    direction = far.xyz / far.w - near.xyz / near.w;
    gl_Position = vec4(corner, 1.0, 1.0);
}
