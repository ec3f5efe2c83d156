#pragma once

#include <vector>

#include "raylib-api.h"

// The most vertices one mesh holds: its indices are 16 bits wide.
inline constexpr int MAX_MESH_VERTICES = 65532;

// Quads gathered on the CPU, four vertices each, counter-clockwise seen from
// the side they face, with a normal and a colour a vertex.
// Optionally texture coordinates, and a material: two numbers a vertex
// carried as its second texture coordinates. All or none of the vertices
// have each.
struct QuadList {
    std::vector<float> vertices, normals, texcoords, materials;
    std::vector<unsigned char> colors;

    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }
    void addVertex(float const position[3], float const normal[3], raylib::Color color, float const* texcoord = nullptr,
                   float const* material = nullptr);
};

// The quads from vertex first on, at most MAX_MESH_VERTICES vertices, as one
// mesh of two triangles a quad, on the CPU: it is not uploaded.
raylib::Mesh meshOf(QuadList const& quads, int first);

// Frees the CPU arrays of a mesh made by meshOf; the GPU side is the
// uploader's to free.
void freeMeshArrays(raylib::Mesh const& mesh);
