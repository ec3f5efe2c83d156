#include "scene-renderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "aabox.h"
#include "frustum.h"
#include "hidden-faces.h"
#include "shader.h"

namespace {

constexpr raylib::Color SKY{102, 191, 255, 255};
// The side of a chunk, in world units: big enough for few draw calls, small
// enough that what lies behind the camera is left out.
constexpr float CHUNK_SIDE = 32.0f;
// Mesh indices are 16 bits wide.
constexpr int MAX_MESH_VERTICES = 65532;

// The six faces of a box in the order of BoxFace: outward normal and four
// corners, counter-clockwise seen from outside, as signs of the half size.
struct Face {
    float normal[3];
    float corners[4][3];
};
constexpr Face FACES[6] = {
    {{0, 0, 1}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}}},
    {{0, 0, -1}, {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}},
    {{0, 1, 0}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    {{0, -1, 0}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    {{1, 0, 0}, {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}}},
    {{-1, 0, 0}, {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}},
};

// The seen faces of a chunk's boxes, as they are uploaded: four vertices a
// face, corners placed as DrawCubeV places them (centre ± half the size).
struct FaceList {
    std::vector<float> vertices, normals;
    std::vector<unsigned char> colors;

    int vertexCount() const { return static_cast<int>(vertices.size() / 3); }

    void add(AABox const& box, int face) {
        float const centre[3] = {box.position.x, box.position.y, box.position.z};
        raylib::Vector3 const s = box.aabb.size;
        float const half[3] = {s.x / 2, s.y / 2, s.z / 2};
        for (auto const& corner : FACES[face].corners) {
            for (int axis = 0; axis < 3; ++axis) {
                vertices.push_back(centre[axis] + corner[axis] * half[axis]);
                normals.push_back(FACES[face].normal[axis]);
            }
            colors.insert(colors.end(), {box.color.r, box.color.g, box.color.b, box.color.a});
        }
    }
};

// The faces from vertex first on, at most MAX_MESH_VERTICES of them, as one
// uploaded mesh. raylib frees the arrays with the mesh.
raylib::Mesh uploaded(FaceList const& faces, int first) {
    raylib::Mesh mesh{};
    mesh.vertexCount = std::min(MAX_MESH_VERTICES, faces.vertexCount() - first);
    mesh.triangleCount = mesh.vertexCount / 2;
    auto const copy = [](auto const* from, int count) {
        using T = std::remove_const_t<std::remove_pointer_t<decltype(from)>>;
        auto* to = static_cast<T*>(raylib::MemAlloc(static_cast<unsigned>(count * sizeof(T))));
        std::copy(from, from + count, to);
        return to;
    };
    mesh.vertices = copy(faces.vertices.data() + first * 3, mesh.vertexCount * 3);
    mesh.normals = copy(faces.normals.data() + first * 3, mesh.vertexCount * 3);
    mesh.colors = copy(faces.colors.data() + first * 4, mesh.vertexCount * 4);
    mesh.indices = static_cast<unsigned short*>(raylib::MemAlloc(mesh.triangleCount * 3 * sizeof(unsigned short)));
    for (int face = 0, index = 0; face < mesh.vertexCount / 4; ++face) {
        for (int corner : {0, 1, 2, 0, 2, 3}) mesh.indices[index++] = static_cast<unsigned short>(face * 4 + corner);
    }
    raylib::UploadMesh(&mesh, false);
    return mesh;
}

raylib::BoundingBox boundsOf(AABB const& box) {
    return {{std::min(box.min.x, box.max.x), std::min(box.min.y, box.max.y), std::min(box.min.z, box.max.z)},
            {std::max(box.min.x, box.max.x), std::max(box.min.y, box.max.y), std::max(box.min.z, box.max.z)}};
}

raylib::BoundingBox merged(raylib::BoundingBox a, raylib::BoundingBox const& b) {
    a.min = raylib::Vector3Min(a.min, b.min);
    a.max = raylib::Vector3Max(a.max, b.max);
    return a;
}

// The squared distance from a point to the nearest point of a box.
float distanceSquared(raylib::Vector3 p, raylib::BoundingBox const& box) {
    raylib::Vector3 const nearest = raylib::Vector3Clamp(p, box.min, box.max);
    return raylib::Vector3DistanceSqr(p, nearest);
}

}  // namespace

SceneRenderer::SceneRenderer() : material(raylib::LoadMaterialDefault()) {}

SceneRenderer::~SceneRenderer() {
    release();
    // The material's shader is the light shader, which is not ours to unload.
    raylib::MemFree(material.maps);
}

void SceneRenderer::release() {
    for (Part& part : parts) {
        for (raylib::Mesh& mesh : part.meshes) raylib::UnloadMesh(mesh);
    }
    parts.clear();
    bakedCount = 0;
}

void SceneRenderer::bake(Intersector const& index) {
    release();
    source = &index;
    auto const entities = index.getEntities();
    bakedCount = static_cast<int>(entities.size());
    std::vector<AABox const*> boxes;
    for (auto const& entity : entities) {
        auto const* box = dynamic_cast<AABox const*>(entity.get());
        if (box) {
            boxes.push_back(box);
        } else {
            parts.push_back({boundsOf(entity->getAABB()), {}, entity});
        }
    }
    std::vector<uint8_t> const seen = visibleFaces(boxes);
    // Each box goes in the chunk of its centre; a chunk's bounds hold all of its boxes.
    std::map<std::tuple<int, int, int>, std::pair<raylib::BoundingBox, FaceList>> chunks;
    for (size_t i = 0; i < boxes.size(); ++i) {
        raylib::Vector3 const c = boxes[i]->position;
        auto const key = std::tuple(static_cast<int>(std::floor(c.x / CHUNK_SIDE)), static_cast<int>(std::floor(c.y / CHUNK_SIDE)),
                                    static_cast<int>(std::floor(c.z / CHUNK_SIDE)));
        raylib::BoundingBox const bounds = boundsOf(boxes[i]->aabb);
        auto [chunk, added] = chunks.try_emplace(key, bounds, FaceList{});
        if (!added) chunk->second.first = merged(chunk->second.first, bounds);
        for (int face = 0; face < 6; ++face) {
            if (seen[i] >> face & 1) chunk->second.second.add(*boxes[i], face);
        }
    }
    for (auto const& [key, chunk] : chunks) {
        Part part{chunk.first, {}, nullptr};
        for (int first = 0; first < chunk.second.vertexCount(); first += MAX_MESH_VERTICES) {
            part.meshes.push_back(uploaded(chunk.second, first));
        }
        if (!part.meshes.empty()) parts.push_back(std::move(part));
    }
}

void SceneRenderer::drawBaked(raylib::Camera3D const& camera) {
    material.shader = Shader::getLightShader()->shader;
    Frustum const frustum = Frustum::ofCurrentView();
    std::vector<std::pair<float, Part const*>> seen;
    for (Part const& part : parts) {
        if (frustum.meets(part.bounds)) seen.emplace_back(distanceSquared(camera.position, part.bounds), &part);
    }
    std::sort(seen.begin(), seen.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    raylib::Matrix const identity = raylib::MatrixIdentity();
    for (auto const& [distance, part] : seen) {
        if (part->entity) part->entity->draw();
        for (raylib::Mesh const& mesh : part->meshes) raylib::DrawMesh(mesh, material, identity);
    }
}

void SceneRenderer::drawScene(raylib::Camera3D const& camera, Intersector const& index, Weapon* weapon,
                              raylib::Vector3 eye) {
    raylib::ClearBackground(SKY);
    raylib::BeginMode3D(camera);
    raylib::BeginShaderMode(Shader::getLightShader()->shader);
    if (weapon) weapon->draw(eye, camera.target);
    if (bakedBoxes) {
        if (&index != source || index.size() != bakedCount) bake(index);
        drawBaked(camera);
    } else {
        ::drawScene(index.getEntities());
    }
    raylib::EndShaderMode();
    raylib::EndMode3D();
}

size_t SceneRenderer::meshBytes() const {
    size_t bytes = 0;
    for (Part const& part : parts) {
        for (raylib::Mesh const& mesh : part.meshes) {
            // Position, normal and colour a vertex; three 16-bit indices a triangle.
            bytes += static_cast<size_t>(mesh.vertexCount) * (12 + 12 + 4) + static_cast<size_t>(mesh.triangleCount) * 6;
        }
    }
    return bytes;
}

size_t SceneRenderer::triangles() const {
    size_t count = 0;
    for (Part const& part : parts) {
        for (raylib::Mesh const& mesh : part.meshes) count += static_cast<size_t>(mesh.triangleCount);
    }
    return count;
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
