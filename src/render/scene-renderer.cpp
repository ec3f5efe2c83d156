#include "scene-renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <map>
#include <tuple>

#include "gl-api.h"

#include "aabox.h"
#include "frustum.h"
#include "hidden-faces.h"
#include "model-entity.h"
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
// The fewest parts whose bounding boxes are tested at once, when those
// seen in the last frame are fewer.
constexpr size_t FIRST_WAVE = 16;
// A browser answers a query only after the frame has gone back to the page,
// never within it: there, every part in view is drawn.
#ifdef __EMSCRIPTEN__
constexpr bool OCCLUSION_QUERIES = false;
#else
constexpr bool OCCLUSION_QUERIES = true;
#endif
// Chunks this near the camera (squared distance) are baked in the frame
// that needs them, whatever the budget: those around the player.
constexpr float AROUND_THE_CAMERA = CHUNK_SIDE * CHUNK_SIDE;

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

// The two triangles of each face, as corners of its quad.
constexpr int TRIANGLE_CORNERS[6] = {0, 1, 2, 0, 2, 3};

std::tuple<int, int, int> chunkOf(raylib::Vector3 c) {
    return {static_cast<int>(std::floor(c.x / CHUNK_SIDE)), static_cast<int>(std::floor(c.y / CHUNK_SIDE)),
            static_cast<int>(std::floor(c.z / CHUNK_SIDE))};
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
        for (FaceList const& list : part.faces) {
            if (list.vao) raylib::rlUnloadVertexArray(list.vao);
            if (list.vbo) raylib::rlUnloadVertexBuffer(list.vbo);
        }
        if (part.query) glDeleteQueries(1, &part.query);
    }
    parts.clear();
    waiting.clear();
    sorted = 0;
}

ModelOnGpu const& SceneRenderer::uploaded(std::shared_ptr<LoadedModel const> const& model) {
    auto& copy = models[model.get()];
    if (!copy) copy = std::make_unique<ModelOnGpu>(model);
    return *copy;
}

bool SceneRenderer::isSource(std::shared_ptr<Intersector const> const& index) const {
    return source.lock() == index && index->size() == bakedCount;
}

void SceneRenderer::startSorting(std::shared_ptr<Intersector const> const& index) {
    release();
    source = index;
    bakedCount = index->size();
    modelsBefore = std::move(models);
    models.clear();
}

bool SceneRenderer::sortSome(Intersector const& index, Clock::time_point deadline) {
    auto const& entities = index.entityList();
    for (; sorted < entities.size(); ++sorted) {
        if (sorted % 4096 == 0 && Clock::now() > deadline) return false;
        auto const& entity = entities[sorted];
        if (auto const* box = dynamic_cast<AABox const*>(entity.get())) {
            // Each box waits in the chunk of its centre; a chunk's bounds hold
            // all of its boxes.
            raylib::BoundingBox const bounds = boundsOf(box->aabb);
            auto [chunk, added] = waiting.try_emplace(chunkOf(box->position), Waiting{bounds, {}});
            if (!added) chunk->second.bounds = merged(chunk->second.bounds, bounds);
            chunk->second.boxes.push_back(box);
            continue;
        }
        // The voxels of a solid model collide; the model draws them.
        if (dynamic_cast<SolidVoxels const*>(entity.get())) continue;
        Part part;
        part.bounds = boundsOf(entity->getAABB());
        part.entity = entity;
        if (auto const* model = dynamic_cast<ModelEntity const*>(entity.get())) {
            part.bounds = boundsOf(model->drawnBox());
            // A model shown before keeps its copy on the GPU.
            if (auto kept = modelsBefore.find(model->loaded.get()); kept != modelsBefore.end()) {
                models[kept->first] = std::move(kept->second);
                modelsBefore.erase(kept);
            }
            part.model = model;
            part.onGpu = &uploaded(model->loaded);
        }
        parts.push_back(std::move(part));
    }
    entityParts = parts.size();
    modelsBefore.clear();
    return true;
}

bool SceneRenderer::sortUntil(std::shared_ptr<Intersector const> const& index, Clock::time_point deadline) {
    if (!isSource(index)) startSorting(index);
    return sorted == index->entityList().size() || sortSome(*index, deadline);
}

SceneRenderer::FaceList SceneRenderer::uploadFaces(std::vector<FaceInstance> const& faces) {
    FaceList list;
    list.count = static_cast<int>(faces.size());
    // Faces of boxes of one size (the voxels of a cloud) share their half
    // size, and take 16 bytes each.
    std::copy_n(faces.front().half, 3, list.half);
    list.sharedHalf = std::all_of(faces.begin(), faces.end(), [&](FaceInstance const& face) {
        return std::equal(face.half, face.half + 3, list.half);
    });
    std::vector<SharedHalfInstance> compact;
    if (list.sharedHalf) {
        compact.reserve(faces.size());
        for (FaceInstance const& face : faces) {
            compact.push_back({{face.center[0], face.center[1], face.center[2]},
                               {face.color[0], face.color[1], face.color[2], face.color[3]}});
        }
    }
    int const stride = list.sharedHalf ? sizeof(SharedHalfInstance) : sizeof(FaceInstance);
    list.vao = raylib::rlLoadVertexArray();
    raylib::rlEnableVertexArray(list.vao);
    list.vbo = list.sharedHalf ? raylib::rlLoadVertexBuffer(compact.data(), list.count * stride, false)
                               : raylib::rlLoadVertexBuffer(faces.data(), list.count * stride, false);
    // At the locations the faces' vertex program gives them; a shared half
    // size is given as the attribute's value when the list is drawn.
    struct Attribute {
        int location, components, type;
        bool normalized;
        size_t offset;
    };
    std::vector<Attribute> attributes;
    if (list.sharedHalf) {
        attributes = {{0, 3, RL_FLOAT, false, offsetof(SharedHalfInstance, center)},
                      {2, 4, RL_UNSIGNED_BYTE, true, offsetof(SharedHalfInstance, color)}};
    } else {
        attributes = {{0, 3, RL_FLOAT, false, offsetof(FaceInstance, center)},
                      {1, 3, RL_FLOAT, false, offsetof(FaceInstance, half)},
                      {2, 4, RL_UNSIGNED_BYTE, true, offsetof(FaceInstance, color)}};
    }
    for (Attribute const& a : attributes) {
        raylib::rlSetVertexAttribute(a.location, a.components, a.type, a.normalized, stride,
                                     static_cast<int>(a.offset));
        raylib::rlEnableVertexAttribute(a.location);
        raylib::rlSetVertexAttributeDivisor(a.location, 1);
    }
    raylib::rlDisableVertexArray();
    list.bytes = static_cast<size_t>(list.count) * static_cast<size_t>(stride);
    return list;
}

void SceneRenderer::bakeChunk(Intersector const& index, Waiting const& chunk) {
    // The boxes of the neighbouring chunks that touch this one may hide faces
    // of its boxes: they are looked at too.
    std::vector<AABox const*> boxes = chunk.boxes;
    AABB around;
    around.min = chunk.bounds.min;
    around.max = chunk.bounds.max;
    auto const key = chunkOf(chunk.boxes.front()->position);
    for (auto const& entity : index.findAllIntersections(around)) {
        auto const* box = dynamic_cast<AABox const*>(entity.get());
        if (box && chunkOf(box->position) != key) boxes.push_back(box);
    }
    std::vector<uint8_t> const seen = visibleFaces(boxes);
    std::vector<FaceInstance> lists[FACE_LISTS];
    for (size_t i = 0; i < chunk.boxes.size(); ++i) {
        AABox const& box = *chunk.boxes[i];
        raylib::Vector3 const s = box.aabb.size;
        bool const inverted = !(s.x > 0 && s.y > 0 && s.z > 0);
        FaceInstance const face{{box.position.x, box.position.y, box.position.z},
                                {s.x / 2, s.y / 2, s.z / 2},
                                {box.color.r, box.color.g, box.color.b, box.color.a}};
        for (int direction = 0; direction < 6; ++direction) {
            if (seen[i] >> direction & 1) lists[direction + (inverted ? 6 : 0)].push_back(face);
        }
    }
    Part part;
    part.bounds = chunk.bounds;
    for (int i = 0; i < FACE_LISTS; ++i) {
        if (!lists[i].empty()) part.faces[i] = uploadFaces(lists[i]);
    }
    parts.push_back(part);
}

std::vector<std::pair<float, SceneRenderer::ChunkKey>> SceneRenderer::waitingByDistance(raylib::Vector3 camera) const {
    std::vector<std::pair<float, ChunkKey>> order;
    order.reserve(waiting.size());
    for (auto const& [key, chunk] : waiting) order.emplace_back(distanceSquared(camera, chunk.bounds), key);
    std::sort(order.begin(), order.end());
    return order;
}

void SceneRenderer::bakeWaiting(Intersector const& index, raylib::Vector3 camera) {
    if (waiting.empty()) return;
    auto const start = Clock::now();
    for (auto const& [distance, key] : waitingByDistance(camera)) {
        double const spent = std::chrono::duration<double>(Clock::now() - start).count();
        if (bakingBudget > 0 && distance > AROUND_THE_CAMERA && spent > bakingBudget) break;
        bakeChunk(index, waiting.at(key));
        waiting.erase(key);
    }
}

SceneRenderer::Progress SceneRenderer::bakeAround(std::shared_ptr<Intersector const> const& index,
                                                  raylib::Vector3 camera, double seconds) {
    auto const deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Progress progress;
    progress.entities = index->entityList().size();
    if (!sortUntil(index, deadline)) {
        progress.sorted = sorted;
        return progress;
    }
    progress.sorted = sorted;
    for (auto const& [distance, key] : waitingByDistance(camera)) {
        if (distance > AROUND_THE_CAMERA) break;
        if (Clock::now() > deadline) {
            ++progress.chunksLeft;
            continue;
        }
        bakeChunk(*index, waiting.at(key));
        waiting.erase(key);
    }
    progress.chunksBaked = chunksBaked();
    return progress;
}

void SceneRenderer::drawFaces(Part const& part, raylib::Vector3 camera) {
    raylib::rlEnableShader(faceShader.id);
    // Faces are untextured: the default (white) texture, which a mesh drawn
    // in between unbinds.
    raylib::rlActiveTextureSlot(0);
    raylib::rlEnableTexture(raylib::rlGetTextureIdDefault());
    for (int i = 0; i < FACE_LISTS; ++i) {
        FaceList const& list = part.faces[i];
        Face const& face = FACES[i % 6];
        if (list.count == 0 || (i < 6 && !mayFace(part.bounds, face.normal, camera))) continue;
        float corners[6][3];
        for (int k = 0; k < 6; ++k) std::copy_n(face.corners[TRIANGLE_CORNERS[k]], 3, corners[k]);
        raylib::SetShaderValue(faceShader, raylib::GetShaderLocation(faceShader, "faceNormal"), face.normal,
                               raylib::SHADER_UNIFORM_VEC3);
        raylib::SetShaderValueV(faceShader, raylib::GetShaderLocation(faceShader, "faceCorners"), corners,
                                raylib::SHADER_UNIFORM_VEC3, 6);
        raylib::rlEnableVertexArray(list.vao);
        if (list.sharedHalf) glVertexAttrib3fv(1, list.half);
        raylib::rlDrawVertexArrayInstanced(0, 6, list.count);
    }
    raylib::rlDisableVertexArray();
    raylib::rlDisableShader();
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
            if (mesh.normals && mesh.vertexCount > 0 && !mayFace(part.bounds, mesh.normals, camera)) continue;
            raylib::DrawMesh(mesh, material, transform);
        }
    } else if (part.entity) {
        part.entity->draw();
        raylib::rlDrawRenderBatchActive();
    } else {
        drawFaces(part, camera);
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
    // The faces' program draws with the view as raylib draws meshes, with
    // no model transform, and untinted.
    raylib::Matrix const identity = raylib::MatrixIdentity();
    raylib::Matrix const viewProjection =
        raylib::MatrixMultiply(raylib::rlGetMatrixModelview(), raylib::rlGetMatrixProjection());
    raylib::SetShaderValueMatrix(faceShader, faceShader.locs[raylib::SHADER_LOC_MATRIX_MVP], viewProjection);
    raylib::SetShaderValueMatrix(faceShader, faceShader.locs[raylib::SHADER_LOC_MATRIX_MODEL], identity);
    raylib::SetShaderValueMatrix(faceShader, faceShader.locs[raylib::SHADER_LOC_MATRIX_NORMAL], identity);
    float const white[4] = {1, 1, 1, 1};
    raylib::SetShaderValue(faceShader, faceShader.locs[raylib::SHADER_LOC_COLOR_DIFFUSE], white,
                           raylib::SHADER_UNIFORM_VEC4);

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
        if (!frustum.meets(part.bounds)) {
            part.seen = false;  // not known to show when it comes into view
            continue;
        }
        if (!OCCLUSION_QUERIES) {
            drawPart(part, camera.position);
            continue;
        }
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

    // The others in waves, nearest first, each wave larger than the last:
    // the bounding boxes of a wave's parts depth-tested but written nowhere
    // (their sides facing the camera, which is outside them), and those
    // found in view drawn, hiding parts of the waves after it. After a turn or a jump most parts in view are not known
    // to show, and all would be drawn if they were tested at once.
    size_t wave = std::max<size_t>(FIRST_WAVE, inView.size() - hidden.size());
    for (size_t first = 0; first < hidden.size(); first += wave, wave *= 2) {
        size_t const end = std::min(hidden.size(), first + wave);
        raylib::rlColorMask(false, false, false, false);
        raylib::rlDisableDepthMask();
        for (size_t i = first; i < end; ++i) {
            glBeginQuery(GL_ANY_SAMPLES_PASSED, hidden[i]->query);
            drawBounds(*hidden[i]);
            glEndQuery(GL_ANY_SAMPLES_PASSED);
        }
        raylib::rlEnableDepthMask();
        raylib::rlColorMask(true, true, true, true);
        for (size_t i = first; i < end; ++i) {
            GLuint samples = 0;
            glGetQueryObjectuiv(hidden[i]->query, GL_QUERY_RESULT, &samples);
            hidden[i]->seen = samples > 0;
            if (hidden[i]->seen) drawPart(*hidden[i], camera.position);
        }
    }
}

void SceneRenderer::drawScene(raylib::Camera3D const& camera, std::shared_ptr<Intersector const> const& index,
                              Weapon* weapon, raylib::Vector3 eye, raylib::Shader lightShader, raylib::Shader faces) {
    raylib::ClearBackground(SKY_COLOR);
    raylib::BeginMode3D(camera);
    raylib::BeginShaderMode(lightShader);
    material.shader = lightShader;
    faceShader = faces;
    if (weapon) weapon->draw(eye, camera.target);
    if (bakedBoxes) {
        sortUntil(index, Clock::time_point::max());
        bakeWaiting(*index, camera.position);
        drawBaked(camera);
    } else {
        ::drawScene(index->entityList());
    }
    raylib::EndShaderMode();
    raylib::EndMode3D();
}

size_t SceneRenderer::meshBytes() const {
    size_t bytes = 0;
    for (Part const& part : parts) {
        for (FaceList const& list : part.faces) bytes += list.bytes;
    }
    return bytes;
}

size_t SceneRenderer::triangles() const {
    size_t count = 0;
    for (Part const& part : parts) {
        for (FaceList const& list : part.faces) count += 2 * static_cast<size_t>(list.count);
    }
    return count;
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
