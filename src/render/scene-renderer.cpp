#include "scene-renderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include "aabox.h"
#include "frustum.h"
#include "hidden-faces.h"
#include "model-entity.h"
#include "quad-mesh.h"
#include "sky.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

// The side of a chunk, in world units: big enough for few draw calls, small
// enough that what lies behind the camera, or behind nearer chunks, is left
// out. Measured on clouds of huge voxels, 48 beat 24, 32, 40, 64 and 128.
constexpr float CHUNK_SIDE = 48.0f;
// Parts nearer than this (squared distance) to the camera are always drawn:
// the camera may be inside their bounding box, whose faces then lie behind it.
constexpr float NEAR_ENOUGH = 1.0f;

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

// A face of a box, placed as DrawCubeV places it (centre ± half the size).
void addFace(QuadList& quads, AABox const& box, int face) {
    float const centre[3] = {box.position.x, box.position.y, box.position.z};
    raylib::Vector3 const s = box.aabb.size;
    float const half[3] = {s.x / 2, s.y / 2, s.z / 2};
    for (auto const& corner : FACES[face].corners) {
        float position[3];
        for (int axis = 0; axis < 3; ++axis) position[axis] = centre[axis] + corner[axis] * half[axis];
        quads.addVertex(position, FACES[face].normal, box.color);
    }
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

SceneRenderer::SceneRenderer() : material(raylib::LoadMaterialDefault()), cube(raylib::GenMeshCube(1, 1, 1)) {}

SceneRenderer::~SceneRenderer() {
    release();
    raylib::UnloadMesh(cube);
    // The material's shader is the light shader, which is not ours to unload.
    raylib::MemFree(material.maps);
}

void SceneRenderer::release() {
    for (Part& part : parts) {
        for (auto& meshes : part.meshes) {
            for (raylib::Mesh& mesh : meshes) raylib::UnloadMesh(mesh);
        }
        if (part.query) glDeleteQueries(1, &part.query);
    }
    parts.clear();
    bakedCount = 0;
}

ModelOnGpu const& SceneRenderer::uploaded(std::shared_ptr<LoadedModel const> const& model) {
    auto& copy = models[model.get()];
    if (!copy) copy = std::make_unique<ModelOnGpu>(model);
    return *copy;
}

void SceneRenderer::bake(Intersector const& index) {
    release();
    auto const entities = index.getEntities();
    bakedCount = static_cast<int>(entities.size());
    std::vector<AABox const*> boxes;
    auto previousModels = std::move(models);
    models.clear();
    for (auto const& entity : entities) {
        if (auto const* box = dynamic_cast<AABox const*>(entity.get())) {
            boxes.push_back(box);
            continue;
        }
        // The voxels of a solid model collide; the model draws them.
        if (dynamic_cast<SolidVoxels const*>(entity.get())) continue;
        Part part{boundsOf(entity->getAABB()), {}, entity};
        if (auto const* model = dynamic_cast<ModelEntity const*>(entity.get())) {
            part.bounds = boundsOf(model->drawnBox());
            // A model shown before keeps its copy on the GPU.
            if (auto kept = previousModels.find(model->loaded.get()); kept != previousModels.end()) {
                models[kept->first] = std::move(kept->second);
                previousModels.erase(kept);
            }
            part.model = model;
            part.onGpu = &uploaded(model->loaded);
        }
        parts.push_back(std::move(part));
    }
    std::vector<uint8_t> const seen = visibleFaces(boxes);
    // Each box goes in the chunk of its centre; a chunk's bounds hold all of its boxes.
    struct Chunk {
        raylib::BoundingBox bounds;
        QuadList faces[FACE_GROUPS];
    };
    std::map<std::tuple<int, int, int>, Chunk> chunks;
    for (size_t i = 0; i < boxes.size(); ++i) {
        raylib::Vector3 const c = boxes[i]->position;
        auto const key =
            std::tuple(static_cast<int>(std::floor(c.x / CHUNK_SIDE)), static_cast<int>(std::floor(c.y / CHUNK_SIDE)),
                       static_cast<int>(std::floor(c.z / CHUNK_SIDE)));
        raylib::BoundingBox const bounds = boundsOf(boxes[i]->aabb);
        auto [chunk, added] = chunks.try_emplace(key, Chunk{bounds, {}});
        if (!added) chunk->second.bounds = merged(chunk->second.bounds, bounds);
        raylib::Vector3 const size = boxes[i]->aabb.size;
        bool const inverted = !(size.x > 0 && size.y > 0 && size.z > 0);
        for (int face = 0; face < 6; ++face) {
            if (seen[i] >> face & 1) addFace(chunk->second.faces[inverted ? 6 : face], *boxes[i], face);
        }
    }
    for (auto const& [key, chunk] : chunks) {
        Part part{chunk.bounds, {}, nullptr};
        for (int face = 0; face < FACE_GROUPS; ++face) {
            QuadList const& faces = chunk.faces[face];
            for (int first = 0; first < faces.vertexCount(); first += MAX_MESH_VERTICES) {
                raylib::Mesh mesh = meshOf(faces, first);
                raylib::UploadMesh(&mesh, false);
                part.meshes[face].push_back(mesh);
            }
        }
        parts.push_back(std::move(part));
    }
}

// Whether any face of the part pointing along the normal can point towards
// the camera: some of the part lies behind the camera along that direction.
bool SceneRenderer::mayFace(Part const& part, float const normal[3], raylib::Vector3 camera) {
    float const low[3] = {part.bounds.min.x, part.bounds.min.y, part.bounds.min.z};
    float const high[3] = {part.bounds.max.x, part.bounds.max.y, part.bounds.max.z};
    float const eye[3] = {camera.x, camera.y, camera.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (normal[axis] > 0) return eye[axis] > low[axis];
        if (normal[axis] < 0) return eye[axis] < high[axis];
    }
    return true;
}

void SceneRenderer::drawPart(Part const& part, raylib::Vector3 camera) {
    if (part.model) {
        // As DrawModel draws it, leaving out the meshes of sides turned away.
        raylib::Model const& model = part.onGpu->model;
        raylib::Vector3 const at = part.model->drawPosition();
        float const scale = part.model->scale;
        raylib::Matrix const transform =
            raylib::MatrixMultiply(model.transform, raylib::MatrixMultiply(raylib::MatrixScale(scale, scale, scale),
                                                                           raylib::MatrixTranslate(at.x, at.y, at.z)));
        for (int i = 0; i < model.meshCount; ++i) {
            raylib::Mesh const& mesh = model.meshes[i];
            if (mesh.normals && mesh.vertexCount > 0 && !mayFace(part, mesh.normals, camera)) continue;
            raylib::DrawMesh(mesh, material, transform);
        }
    } else if (part.entity) {
        part.entity->draw();
    }
    raylib::Matrix const identity = raylib::MatrixIdentity();
    for (int face = 0; face < FACE_GROUPS; ++face) {
        if (face < 6 && !mayFace(part, FACES[face].normal, camera)) continue;
        for (raylib::Mesh const& mesh : part.meshes[face]) raylib::DrawMesh(mesh, material, identity);
    }
}

void SceneRenderer::drawBounds(Part const& part) {
    raylib::BoundingBox const& b = part.bounds;
    raylib::Matrix const place = raylib::MatrixMultiply(
        raylib::MatrixScale(b.max.x - b.min.x, b.max.y - b.min.y, b.max.z - b.min.z),
        raylib::MatrixTranslate((b.min.x + b.max.x) / 2, (b.min.y + b.max.y) / 2, (b.min.z + b.max.z) / 2));
    raylib::DrawMesh(cube, material, place);
}

void SceneRenderer::drawBaked(raylib::Camera3D const& camera) {
    Frustum const frustum = Frustum::ofCurrentView();
    std::vector<std::pair<float, Part*>> inView;
    for (Part& part : parts) {
        // What the last frame's queries found, for the parts drawn with one.
        if (part.queried) {
            GLuint samples = 0;
            glGetQueryObjectuiv(part.query, GL_QUERY_RESULT, &samples);
            part.seen = samples > 0;
            part.queried = false;
        }
        if (!frustum.meets(part.bounds)) continue;
        if (!part.query) glGenQueries(1, &part.query);
        inView.emplace_back(distanceSquared(camera.position, part.bounds), &part);
    }
    std::sort(inView.begin(), inView.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    raylib::rlDrawRenderBatchActive();

    // The parts seen last frame, and those the camera is in or next to, are
    // drawn, each with a query telling whether it still shows.
    std::vector<Part*> hidden;
    for (auto const& [distance, part] : inView) {
        if (!part->seen && distance > NEAR_ENOUGH) {
            hidden.push_back(part);
            continue;
        }
        glBeginQuery(GL_ANY_SAMPLES_PASSED, part->query);
        drawPart(*part, camera.position);
        glEndQuery(GL_ANY_SAMPLES_PASSED);
        part->queried = true;
    }
    if (hidden.empty()) return;

    // The bounding boxes of the others, depth-tested but written nowhere...
    raylib::rlColorMask(false, false, false, false);
    raylib::rlDisableDepthMask();
    raylib::rlDisableBackfaceCulling();
    for (Part* part : hidden) {
        glBeginQuery(GL_ANY_SAMPLES_PASSED, part->query);
        drawBounds(*part);
        glEndQuery(GL_ANY_SAMPLES_PASSED);
    }
    raylib::rlEnableBackfaceCulling();
    raylib::rlEnableDepthMask();
    raylib::rlColorMask(true, true, true, true);
    // ...and those found in view drawn now, nearest first.
    for (Part* part : hidden) {
        GLuint samples = 0;
        glGetQueryObjectuiv(part->query, GL_QUERY_RESULT, &samples);
        part->seen = samples > 0;
        if (part->seen) drawPart(*part, camera.position);
    }
}

void SceneRenderer::drawScene(raylib::Camera3D const& camera, std::shared_ptr<Intersector const> const& index,
                              Weapon* weapon, raylib::Vector3 eye, raylib::Shader lightShader) {
    raylib::ClearBackground(SKY_COLOR);
    raylib::BeginMode3D(camera);
    raylib::BeginShaderMode(lightShader);
    material.shader = lightShader;
    if (weapon) weapon->draw(eye, camera.target);
    if (bakedBoxes) {
        if (source.lock() != index || index->size() != bakedCount) {
            bake(*index);
            source = index;
        }
        drawBaked(camera);
    } else {
        ::drawScene(index->getEntities());
    }
    raylib::EndShaderMode();
    raylib::EndMode3D();
}

size_t SceneRenderer::meshBytes() const {
    size_t bytes = 0;
    for (Part const& part : parts) {
        for (auto const& meshes : part.meshes) {
            for (raylib::Mesh const& mesh : meshes) bytes += gpuBytes(mesh);
        }
    }
    return bytes;
}

size_t SceneRenderer::triangles() const {
    size_t count = 0;
    for (Part const& part : parts) {
        for (auto const& meshes : part.meshes) {
            for (raylib::Mesh const& mesh : meshes) count += static_cast<size_t>(mesh.triangleCount);
        }
    }
    return count;
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
