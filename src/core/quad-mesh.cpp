#include "quad-mesh.h"

#include <algorithm>
#include <cstring>

namespace {

// A copy of count elements from first, in memory raylib frees.
template <typename T>
T* rayCopy(T const* first, int count) {
    auto* copy = static_cast<T*>(raylib::MemAlloc(static_cast<unsigned>(count * sizeof(T))));
    std::memcpy(copy, first, count * sizeof(T));
    return copy;
}

}  // namespace

void QuadList::addVertex(float const position[3], float const normal[3], raylib::Color color, float const* texcoord,
                         float const* material) {
    vertices.insert(vertices.end(), position, position + 3);
    normals.insert(normals.end(), normal, normal + 3);
    colors.insert(colors.end(), {color.r, color.g, color.b, color.a});
    if (texcoord) texcoords.insert(texcoords.end(), texcoord, texcoord + 2);
    if (material) materials.insert(materials.end(), material, material + 2);
}

raylib::Mesh meshOf(QuadList const& quads, int first) {
    raylib::Mesh mesh{};
    mesh.vertexCount = std::min(MAX_MESH_VERTICES, quads.vertexCount() - first);
    mesh.triangleCount = mesh.vertexCount / 4 * 2;
    mesh.vertices = rayCopy(quads.vertices.data() + first * 3, mesh.vertexCount * 3);
    mesh.normals = rayCopy(quads.normals.data() + first * 3, mesh.vertexCount * 3);
    mesh.colors = rayCopy(quads.colors.data() + first * 4, mesh.vertexCount * 4);
    if (!quads.texcoords.empty()) mesh.texcoords = rayCopy(quads.texcoords.data() + first * 2, mesh.vertexCount * 2);
    if (!quads.materials.empty()) mesh.texcoords2 = rayCopy(quads.materials.data() + first * 2, mesh.vertexCount * 2);
    mesh.indices = static_cast<unsigned short*>(raylib::MemAlloc(mesh.triangleCount * 3 * sizeof(unsigned short)));
    for (int quad = 0, index = 0; quad < mesh.vertexCount / 4; ++quad) {
        for (int corner : {0, 1, 2, 0, 2, 3}) mesh.indices[index++] = static_cast<unsigned short>(quad * 4 + corner);
    }
    return mesh;
}

void freeMeshArrays(raylib::Mesh const& mesh) {
    raylib::MemFree(mesh.vertices);
    raylib::MemFree(mesh.normals);
    raylib::MemFree(mesh.colors);
    raylib::MemFree(mesh.texcoords);
    raylib::MemFree(mesh.texcoords2);
    raylib::MemFree(mesh.indices);
}
