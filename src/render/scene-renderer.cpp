#include "scene-renderer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <tuple>

#include "gl-api.h"

#include "aabox.h"
#include "box-surface.h"
#include "coarse-boxes.h"
#include "frustum.h"
#include "hidden-faces.h"
#include "model-entity.h"
#include "rich-sky.h"
#include "sky.h"
#include "vox-mesh.h"

namespace raylib {
#include <rlgl.h>
}

namespace {

// The side of a chunk, in world units: big enough for few draw calls, small
// enough that what lies behind the camera, or behind nearer chunks, is left
// out. Measured on clouds of huge voxels, 48 beat 24, 32, 40, 64 and 128.
constexpr float CHUNK_SIDE = 48.0f;
// How near the camera a chunk's corners are shaded by the boxes around
// them: farther, a box's shading is a few pixels wide, behind the fog's
// first veil, and not worth the faces it costs. Walking the terrain at 800
// x 450, 40 costs a tenth less a frame than 64.
constexpr float SHADING_REACH = 40.0f;
// The glow around an emissive model's voxels: a halo as wide as this many
// units at the model's scale 1, and how strongly it adds its colour.
constexpr float HALO_SIZE = 3.0f;
constexpr float HALO_STRENGTH = 0.6f;
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
constexpr unsigned short TRIANGLE_CORNERS[6] = {0, 1, 2, 0, 2, 3};

// The vertex of a corner of a merged face: its place, and its colour
// darkened by its share of the light. At raylib's locations of a vertex's
// position and colour, which the faces' programs read.
struct Corner {
    float position[3];
    unsigned char color[4];
};

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
    if (haloTexture.id != 0) raylib::UnloadTexture(haloTexture);
    // The material's shader is the light shader, which is not ours to unload.
    raylib::MemFree(material.maps);
}

void SceneRenderer::release() {
    for (Part& part : parts) {
        unload(part.faces);
        unload(part.coarseFaces);
        if (part.query) glDeleteQueries(1, &part.query);
    }
    parts.clear();
    unloadQuadIndices();
    waiting.clear();
    sorted = 0;
    allSorted = false;
}

ModelOnGpu& SceneRenderer::uploaded(std::shared_ptr<LoadedModel const> const& model) {
    auto& copy = models[model.get()];
    if (!copy) copy = std::make_unique<ModelOnGpu>(model);
    return *copy;
}

// Boxes wait in chunks, models become parts with their copy on the GPU,
// and anything else becomes a part that draws itself.
class SceneRenderer::Sorter : public EntityVisitor {
public:
    explicit Sorter(SceneRenderer& renderer) : renderer(renderer) {}
    void sort(std::shared_ptr<Entity> const& entity) {
        current = &entity;
        entity->accept(*this);
    }
    void visitBox(AABox const& box) override { renderer.sortBox(box); }
    void visitModel(ModelEntity const& model) override { renderer.sortModel(model, *current); }
    void visitOther(Entity const& entity) override {
        Part part;
        part.bounds = boundsOf(entity.getAABB());
        part.entity = *current;
        renderer.parts.push_back(std::move(part));
    }

private:
    SceneRenderer& renderer;
    std::shared_ptr<Entity> const* current = nullptr;
};

bool SceneRenderer::isSource(World const& world) const {
    return source.lock() == world.intersector && world.intersector->size() == bakedCount &&
           world.drawnOnly.size() == bakedDrawnOnly && shadedChunks == shadedCorners;
}

void SceneRenderer::startSorting(World const& world) {
    release();
    source = world.intersector;
    bakedCount = world.intersector->size();
    bakedDrawnOnly = world.drawnOnly.size();
    shadedChunks = shadedCorners;
    modelsBefore = std::move(models);
    models.clear();
}

void SceneRenderer::sortBox(AABox const& box) {
    // Each box waits in the chunk of its centre; a chunk's bounds hold all
    // of its boxes.
    raylib::BoundingBox const bounds = boundsOf(box.aabb);
    auto [chunk, added] = waiting.try_emplace(chunkOf(box.position), Waiting{bounds, {}});
    if (!added) chunk->second.bounds = merged(chunk->second.bounds, bounds);
    chunk->second.boxes.push_back(&box);
}

void SceneRenderer::sortModel(ModelEntity const& model, std::shared_ptr<Entity> const& entity) {
    Part part;
    part.bounds = boundsOf(model.drawnBox());
    part.entity = entity;
    // A model shown before keeps its copy on the GPU.
    if (auto kept = modelsBefore.find(model.loaded.get()); kept != modelsBefore.end()) {
        models[kept->first] = std::move(kept->second);
        modelsBefore.erase(kept);
    }
    part.model = &model;
    part.onGpu = &uploaded(model.loaded);
    parts.push_back(std::move(part));
}

bool SceneRenderer::sortSome(World const& world, Clock::time_point deadline) {
    Sorter sorter(*this);
    auto const& entities = world.intersector->entityList();
    for (; sorted < entities.size(); ++sorted) {
        if (sorted % 4096 == 0 && Clock::now() > deadline) return false;
        sorter.sort(entities[sorted]);
    }
    for (auto const& entity : world.drawnOnly) sorter.sort(entity);
    allSorted = true;
    entityParts = parts.size();
    modelsBefore.clear();
    return true;
}

bool SceneRenderer::sortUntil(World const& world, Clock::time_point deadline) {
    if (!isSource(world)) startSorting(world);
    return allSorted || sortSome(world, deadline);
}

std::vector<SceneRenderer::FaceInstance> SceneRenderer::byEighths(std::vector<FaceInstance> const& faces,
                                                                  std::array<FaceList::Eighth, 8>& eighths) {
    auto const low = [](FaceInstance const& f, int axis) { return f.center[axis] - f.half[axis]; };
    auto const high = [](FaceInstance const& f, int axis) { return f.center[axis] + f.half[axis]; };
    float middle[3];
    for (int axis = 0; axis < 3; ++axis) {
        auto const [least, most] = std::minmax_element(
            faces.begin(), faces.end(),
            [&](FaceInstance const& a, FaceInstance const& b) { return a.center[axis] < b.center[axis]; });
        middle[axis] = (least->center[axis] + most->center[axis]) / 2;
    }
    auto const eighthOf = [&](FaceInstance const& f) {
        return (f.center[0] > middle[0]) | (f.center[1] > middle[1]) << 1 | (f.center[2] > middle[2]) << 2;
    };
    std::vector<FaceInstance> sorted;
    sorted.reserve(faces.size());
    for (int eighth = 0; eighth < 8; ++eighth) {
        FaceList::Eighth& e = eighths[eighth];
        e.first = static_cast<int>(sorted.size());
        for (FaceInstance const& face : faces) {
            if (eighthOf(face) != eighth) continue;
            raylib::BoundingBox const spans{{low(face, 0), low(face, 1), low(face, 2)},
                                            {high(face, 0), high(face, 1), high(face, 2)}};
            e.bounds = sorted.size() == static_cast<size_t>(e.first) ? spans : merged(e.bounds, spans);
            sorted.push_back(face);
        }
        e.count = static_cast<int>(sorted.size()) - e.first;
    }
    return sorted;
}

SceneRenderer::FaceList SceneRenderer::uploadCorners(std::vector<FaceInstance> const& unsorted, int direction) {
    FaceList list;
    std::vector<FaceInstance> const faces = byEighths(unsorted, list.eighths);
    std::vector<Corner> corners;
    corners.reserve(4 * faces.size());
    for (FaceInstance const& face : faces) {
        unsigned char const* light = face.light;
        // The two triangles meet on the diagonal between the corners whose
        // light differs the most, so that a corner's shade spreads evenly.
        int const first = std::abs(light[1] - light[3]) > std::abs(light[0] - light[2]) ? 1 : 0;
        for (int i = 0; i < 4; ++i) {
            int const k = (i + first) % 4;
            float const* sign = FACES[direction].corners[k];
            Corner corner{};
            for (int axis = 0; axis < 3; ++axis)
                corner.position[axis] = face.center[axis] + sign[axis] * face.half[axis];
            for (int c = 0; c < 3; ++c)
                corner.color[c] = static_cast<unsigned char>((face.color[c] * light[k] + 127) / 255);
            corner.color[3] = face.color[3];
            corners.push_back(corner);
        }
    }
    list.count = static_cast<int>(faces.size());
    list.bytes = corners.size() * sizeof(Corner);
    list.vao = raylib::rlLoadVertexArray();
    raylib::rlEnableVertexArray(list.vao);
    list.vbo = raylib::rlLoadVertexBuffer(corners.data(), static_cast<int>(list.bytes), false);
    raylib::rlSetVertexAttribute(RL_DEFAULT_SHADER_ATTRIB_LOCATION_POSITION, 3, RL_FLOAT, false, sizeof(Corner),
                                 offsetof(Corner, position));
    raylib::rlEnableVertexAttribute(RL_DEFAULT_SHADER_ATTRIB_LOCATION_POSITION);
    raylib::rlSetVertexAttribute(RL_DEFAULT_SHADER_ATTRIB_LOCATION_COLOR, 4, RL_UNSIGNED_BYTE, true, sizeof(Corner),
                                 offsetof(Corner, color));
    raylib::rlEnableVertexAttribute(RL_DEFAULT_SHADER_ATTRIB_LOCATION_COLOR);
    bindQuadIndices(list.count);
    raylib::rlDisableVertexArray();
    return list;
}

void SceneRenderer::bindQuadIndices(int quads) {
    if (quads > quadIndexCapacity) {
        if (quadIndices) outgrownQuadIndices.push_back(quadIndices);
        quadIndexCapacity = std::max(quads, 2 * quadIndexCapacity);
        std::vector<uint32_t> indices;
        indices.reserve(6 * static_cast<size_t>(quadIndexCapacity));
        for (uint32_t quad = 0; quad < static_cast<uint32_t>(quadIndexCapacity); ++quad) {
            for (unsigned short const corner : TRIANGLE_CORNERS) indices.push_back(4 * quad + corner);
        }
        quadIndices = raylib::rlLoadVertexBufferElement(indices.data(), static_cast<int>(indices.size() * 4), false);
    }
    raylib::rlEnableVertexBufferElement(quadIndices);
}

void SceneRenderer::unloadQuadIndices() {
    for (unsigned const buffer : outgrownQuadIndices) raylib::rlUnloadVertexBuffer(buffer);
    outgrownQuadIndices.clear();
    if (quadIndices) raylib::rlUnloadVertexBuffer(quadIndices);
    quadIndices = 0;
    quadIndexCapacity = 0;
}

SceneRenderer::FaceList SceneRenderer::uploadInstances(std::vector<FaceInstance> const& faces) const {
    FaceList list;
    list.count = static_cast<int>(faces.size());
    // Faces of boxes of one size (the voxels of a cloud) share their half
    // size, given as the attribute's value when the list is drawn.
    std::copy_n(faces.front().half, 3, list.half);
    list.sharedHalf = std::all_of(faces.begin(), faces.end(), [&](FaceInstance const& face) {
        return std::equal(face.half, face.half + 3, list.half);
    });
    // The fields of an instance the GPU is given, packed one after another,
    // at the locations the faces' vertex programs give them.
    struct Field {
        int location, components, type;
        bool normalized;
        size_t from, size;
    };
    std::vector<Field> fields{{0, 3, RL_FLOAT, false, offsetof(FaceInstance, center), sizeof(float[3])}};
    if (!list.sharedHalf) fields.push_back({1, 3, RL_FLOAT, false, offsetof(FaceInstance, half), sizeof(float[3])});
    fields.push_back({2, 4, RL_UNSIGNED_BYTE, true, offsetof(FaceInstance, color), 4});
    size_t stride = 0;
    for (Field const& field : fields) stride += field.size;
    std::vector<unsigned char> packed(faces.size() * stride);
    for (size_t i = 0; i < faces.size(); ++i) {
        unsigned char* to = packed.data() + i * stride;
        for (Field const& field : fields) {
            std::memcpy(to, reinterpret_cast<unsigned char const*>(&faces[i]) + field.from, field.size);
            to += field.size;
        }
    }
    list.vao = raylib::rlLoadVertexArray();
    raylib::rlEnableVertexArray(list.vao);
    list.vbo = raylib::rlLoadVertexBuffer(packed.data(), static_cast<int>(packed.size()), false);
    size_t offset = 0;
    for (Field const& field : fields) {
        raylib::rlSetVertexAttribute(field.location, field.components, field.type, field.normalized,
                                     static_cast<int>(stride), static_cast<int>(offset));
        raylib::rlEnableVertexAttribute(field.location);
        raylib::rlSetVertexAttributeDivisor(field.location, 1);
        offset += field.size;
    }
    raylib::rlDisableVertexArray();
    list.bytes = packed.size();
    return list;
}

std::vector<AABox const*> SceneRenderer::boxesAround(Intersector const& index, Waiting const& chunk, float reach) {
    std::vector<AABox const*> boxes;
    AABB around;
    around.min = raylib::Vector3SubtractValue(chunk.bounds.min, reach);
    around.max = raylib::Vector3AddValue(chunk.bounds.max, reach);
    struct Neighbours : EntityVisitor {
        std::vector<AABox const*>& boxes;
        ChunkKey key;
        Neighbours(std::vector<AABox const*>& boxes, ChunkKey key) : boxes(boxes), key(key) {}
        void visitBox(AABox const& box) override {
            if (chunkOf(box.position) != key) boxes.push_back(&box);
        }
    } neighbours(boxes, chunkOf(chunk.boxes.front()->position));
    for (auto const& entity : index.findAllIntersections(around)) entity->accept(neighbours);
    return boxes;
}

SceneRenderer::FaceInstance SceneRenderer::instanceOf(AABox const& box) {
    raylib::Vector3 const s = box.aabb.size;
    return {{box.position.x, box.position.y, box.position.z},
            {s.x / 2, s.y / 2, s.z / 2},
            {box.color.r, box.color.g, box.color.b, box.color.a},
            {255, 255, 255, 255}};
}

void SceneRenderer::addFaces(AABox const& box, uint8_t shown, FaceLists& lists) {
    raylib::Vector3 const s = box.aabb.size;
    bool const inverted = !(s.x > 0 && s.y > 0 && s.z > 0);
    for (int direction = 0; direction < 6; ++direction) {
        if (shown >> direction & 1) lists[direction + (inverted ? 6 : 0)].push_back(instanceOf(box));
    }
}

void SceneRenderer::addEachFace(std::vector<AABox const*> const& boxes, std::vector<AABox const*> const& around,
                                FaceLists& lists) {
    std::vector<AABox const*> all = boxes;
    all.insert(all.end(), around.begin(), around.end());
    std::vector<uint8_t> const shown = visibleFaces(all);
    for (size_t i = 0; i < boxes.size(); ++i) addFaces(*boxes[i], shown[i], lists);
}

void SceneRenderer::addSurface(std::vector<AABox const*> const& boxes, std::vector<AABox const*> const& around,
                               float shadingBand, FaceLists& lists) {
    for (SurfaceQuad const& quad : boxSurface(boxes, around, shadingBand)) {
        // A face of a box as thin as nothing along the quad's axis.
        int const axis = axisOf(quad.direction);
        int const u = (axis + 1) % 3, v = (axis + 2) % 3;
        FaceInstance face{{}, {}, {quad.color.r, quad.color.g, quad.color.b, quad.color.a}, {}};
        face.center[axis] = quad.plane;
        face.center[u] = (quad.low[0] + quad.high[0]) / 2;
        face.center[v] = (quad.low[1] + quad.high[1]) / 2;
        face.half[u] = (quad.high[0] - quad.low[0]) / 2;
        face.half[v] = (quad.high[1] - quad.low[1]) / 2;
        for (int k = 0; k < 4; ++k) {
            float const* corner = FACES[quad.direction].corners[k];
            int const occlusion = quad.occlusion[corner[u] > 0][corner[v] > 0];
            face.light[k] = static_cast<unsigned char>(255 * CORNER_LIGHT[occlusion] + 0.5f);
        }
        lists[quad.direction].push_back(face);
    }
    // Boxes that hide nothing keep all their faces.
    for (AABox const* box : boxes) {
        if (!solid(*box)) addFaces(*box, 0x3F, lists);
    }
}

SceneRenderer::FaceListsOnGpu SceneRenderer::upload(FaceLists const& lists) {
    FaceListsOnGpu onGpu{};
    for (int i = 0; i < FACE_LISTS; ++i) {
        if (lists[i].empty()) continue;
        onGpu[i] = mergedFaces ? uploadCorners(lists[i], i % 6) : uploadInstances(lists[i]);
    }
    return onGpu;
}

SceneRenderer::FaceListsOnGpu SceneRenderer::bakeFaces(Intersector const& index, Waiting const& chunk, bool shaded) {
    // The boxes of the neighbouring chunks that touch this one may hide faces
    // of its boxes, and those within the shading band shade them: they are
    // looked at too.
    float const band = shaded ? shadingBandOf(chunk.boxes) : 0;
    std::vector<AABox const*> const around = boxesAround(index, chunk, band);
    FaceLists lists;
    if (mergedFaces) {
        addSurface(chunk.boxes, around, band, lists);
    } else {
        addEachFace(chunk.boxes, around, lists);
    }
    return upload(lists);
}

bool SceneRenderer::shadedFrom(raylib::BoundingBox const& bounds, raylib::Vector3 camera) const {
    return shadedChunks && mergedFaces && distanceSquared(camera, bounds) < SHADING_REACH * SHADING_REACH;
}

void SceneRenderer::bakeChunk(Intersector const& index, Waiting& chunk, raylib::Vector3 camera) {
    Part part;
    part.bounds = chunk.bounds;
    bool const shaded = shadedFrom(chunk.bounds, camera);
    part.faces = bakeFaces(index, chunk, shaded);
    // Baked plain beyond the reach of the shading, it is baked again shaded
    // once the camera comes near.
    if (shadedChunks && mergedFaces && !shaded) part.toShade = chunk;
    if (mergedFaces && coarseFarChunks) {
        part.coarseSide = coarseCellSide(chunk.boxes);
        part.boxes = std::move(chunk.boxes);
    }
    parts.push_back(std::move(part));
}

void SceneRenderer::shadeNear(Intersector const& index, raylib::Vector3 camera) {
    auto const start = Clock::now();
    for (Part& part : parts) {
        if (!part.toShade || !shadedFrom(part.bounds, camera)) continue;
        unload(part.faces);
        part.faces = bakeFaces(index, *part.toShade, true);
        part.toShade.reset();
        double const spent = std::chrono::duration<double>(Clock::now() - start).count();
        if (bakingBudget > 0 && spent > bakingBudget) break;
    }
}

void SceneRenderer::unload(FaceListsOnGpu& lists) {
    for (FaceList& list : lists) {
        if (list.vao) raylib::rlUnloadVertexArray(list.vao);
        if (list.vbo) raylib::rlUnloadVertexBuffer(list.vbo);
        list = {};
    }
}

void SceneRenderer::bakeCoarseFaces(Part& part) {
    std::vector<AABox> const cells = coarseBoxes(part.boxes, part.coarseSide);
    std::vector<AABox const*> own;
    for (AABox const& cell : cells) own.push_back(&cell);
    // Boxes that are not solid are drawn as they are.
    for (AABox const* box : part.boxes) {
        if (!solid(*box)) own.push_back(box);
    }
    FaceLists lists;
    if (!cells.empty()) addSurface(own, {}, 0, lists);
    size_t coarse = 0, fine = 0;
    for (auto const& list : lists) coarse += list.size();
    for (FaceList const& list : part.faces) fine += static_cast<size_t>(list.count);
    // Worth its room on the GPU only with a quarter fewer faces.
    if (!cells.empty() && 4 * coarse < 3 * fine) {
        part.coarseFaces = upload(lists);
    } else {
        part.coarseSide = 0;
    }
    part.boxes = {};
}

bool SceneRenderer::drawnCoarse(Part const& part, raylib::Vector3 camera) const {
    if (!(part.coarseSide > 0) || !coarseFarChunks) return false;
    float const cellPixels = part.coarseSide * pixelsPerUnit;
    return cellPixels * cellPixels < distanceSquared(camera, part.bounds);
}

bool SceneRenderer::hasCoarseFaces(Part const& part) {
    return part.coarseSide > 0 && part.boxes.empty();
}

bool SceneRenderer::coarseWaiting(Part const& part, raylib::Vector3 camera) const {
    return !part.boxes.empty() && drawnCoarse(part, camera);
}

void SceneRenderer::bakeCoarse(raylib::Vector3 camera) {
    if (!waiting.empty()) return;
    auto const start = Clock::now();
    for (Part& part : parts) {
        if (!coarseWaiting(part, camera)) continue;
        bakeCoarseFaces(part);
        double const spent = std::chrono::duration<double>(Clock::now() - start).count();
        if (bakingBudget > 0 && spent > bakingBudget) break;
    }
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
        bakeChunk(index, waiting.at(key), camera);
        waiting.erase(key);
    }
}

SceneRenderer::Progress SceneRenderer::bakeAround(World const& world, raylib::Vector3 camera, double seconds) {
    auto const deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Intersector const* const index = world.intersector.get();
    Progress progress;
    progress.entities = index->entityList().size();
    if (!sortUntil(world, deadline)) {
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
        bakeChunk(*index, waiting.at(key), camera);
        waiting.erase(key);
    }
    progress.chunksBaked = chunksBaked();
    return progress;
}

void SceneRenderer::drawInstances(raylib::Shader shader, FaceList const& list, int direction) {
    // The six corners of the two triangles, as the first versions drew them.
    Face const& face = FACES[direction];
    float corners[6][3];
    for (int k = 0; k < 6; ++k) std::copy_n(face.corners[TRIANGLE_CORNERS[k]], 3, corners[k]);
    raylib::SetShaderValueV(shader, raylib::GetShaderLocation(shader, "faceCorners"), corners,
                            raylib::SHADER_UNIFORM_VEC3, 6);
    if (list.sharedHalf) glVertexAttrib3fv(1, list.half);
    raylib::rlDrawVertexArrayInstanced(0, 6, list.count);
}

void SceneRenderer::drawFaces(Part const& part, raylib::Vector3 camera) {
    FaceListsOnGpu const& lists = hasCoarseFaces(part) && drawnCoarse(part, camera) ? part.coarseFaces : part.faces;
    bool const clear = faceLights && clearOfFog(part.bounds, camera);
    bool const beyondSunMap = faceLights && sunMap && !sunMap->meetsOrLiesBeyond(part.bounds);
    // Faces are untextured: the default (white) texture, which a mesh drawn
    // in between unbinds.
    raylib::rlActiveTextureSlot(0);
    raylib::rlEnableTexture(raylib::rlGetTextureIdDefault());
    for (int i = 0; i < FACE_LISTS; ++i) {
        FaceList const& list = lists[i];
        Face const& face = FACES[i % 6];
        if (list.count == 0 || (i < 6 && !mayFace(part.bounds, face.normal, camera))) continue;
        // Faces turned from the sun have no sun to lose to a shadow.
        bool const turnedFromSun = faceLights && sunMap && raylib::Vector3Equals(faceSunShares[i % 6], {0, 0, 0});
        raylib::Shader const shader = faceProgram(clear, beyondSunMap || turnedFromSun);
        raylib::rlEnableShader(shader.id);
        raylib::SetShaderValue(shader, raylib::GetShaderLocation(shader, "faceNormal"), face.normal,
                               raylib::SHADER_UNIFORM_VEC3);
        raylib::rlEnableVertexArray(list.vao);
        if (!mergedFaces) {
            drawnTriangles += 2 * static_cast<size_t>(list.count);
            drawInstances(shader, list, i % 6);
            continue;
        }
        raylib::Vector3 const white{1, 1, 1};
        raylib::SetShaderValue(shader, raylib::GetShaderLocation(shader, "faceLight"),
                               faceLights ? &(*faceLights)[i % 6] : &white, raylib::SHADER_UNIFORM_VEC3);
        raylib::SetShaderValue(shader, raylib::GetShaderLocation(shader, "faceSunShare"), &faceSunShares[i % 6],
                               raylib::SHADER_UNIFORM_VEC3);
        drawEighths(list, i < 6 ? face.normal : nullptr, camera);
    }
    raylib::rlDisableVertexArray();
    raylib::rlDisableShader();
}

raylib::Shader SceneRenderer::faceProgram(bool clearOfFog, bool sunlit) const {
    if (sunlit) return clearOfFog ? sunlitClearFaceShader : sunlitFaceShader;
    return clearOfFog ? clearFaceShader : faceShader;
}

void SceneRenderer::drawEighths(FaceList const& list, float const* normal, raylib::Vector3 camera) {
    // Eighths drawn one after another are drawn at once.
    int first = 0, count = 0;
    auto const draw = [&] {
        // raylib draws 16-bit indices only; a list may hold more corners.
        glDrawElements(GL_TRIANGLES, 6 * count, GL_UNSIGNED_INT,
                       reinterpret_cast<void const*>(6 * sizeof(uint32_t) * static_cast<size_t>(first)));
        drawnTriangles += 2 * static_cast<size_t>(count);
        count = 0;
    };
    for (FaceList::Eighth const& eighth : list.eighths) {
        if (eighth.count == 0) continue;
        bool const shown = viewFrustum->meets(eighth.bounds) && (!normal || mayFace(eighth.bounds, normal, camera));
        if (!shown) {
            if (count > 0) draw();
            continue;
        }
        if (count == 0) first = eighth.first;
        count += eighth.count;
    }
    if (count > 0) draw();
}

// As DrawModel draws it, leaving out the meshes of sides turned away; the
// shaded meshes with the texture of their corners' shades.
void SceneRenderer::drawModel(ModelOnGpu& onGpu, raylib::Vector3 at, float scale, raylib::BoundingBox const& bounds,
                              raylib::Vector3 camera) {
    raylib::Model const& model = shadedCorners ? onGpu.shadedModel() : onGpu.model;
    raylib::Matrix const transform = raylib::MatrixMultiply(
        model.transform,
        raylib::MatrixMultiply(raylib::MatrixScale(scale, scale, scale), raylib::MatrixTranslate(at.x, at.y, at.z)));
    bool const clear = clearOfFog(bounds, camera);
    raylib::Texture2D const plain = material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture;
    raylib::Texture2D const shades = shadedCorners && onGpu.shadeTexture().id != 0 ? onGpu.shadeTexture() : plain;
    bool const metal = shadedCorners && onGpu.loaded->shadedSheen();
    material.shader = metal   ? (clear ? clearMetalLightShader : metalLightShader)
                      : clear ? clearLightShader
                              : lightShader;
    material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture = shades;
    int const firstGlass = model.meshCount - (shadedCorners ? onGpu.loaded->shadedGlassMeshes() : 0);
    for (int i = 0; i < model.meshCount; ++i) {
        raylib::Mesh const& mesh = model.meshes[i];
        if (mesh.normals && mesh.vertexCount > 0 && !mayFace(bounds, mesh.normals, camera)) continue;
        if (i >= firstGlass) {
            glass.push_back({&mesh, transform, distanceSquared(camera, bounds), clear, shades});
        } else {
            raylib::DrawMesh(mesh, material, transform);
        }
    }
    material.shader = lightShader;
    material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture = plain;
    if (!shadedCorners) return;
    for (GlowPoint const& glow : onGpu.loaded->glows()) {
        raylib::Color tint = glow.color;
        tint.a = static_cast<unsigned char>(255 * glow.strength * HALO_STRENGTH);
        halos.push_back({raylib::Vector3Transform(glow.position, transform), HALO_SIZE * scale, tint});
    }
}

void SceneRenderer::drawHalos(raylib::Camera3D const& camera) {
    if (halos.empty()) return;
    if (haloTexture.id == 0) {
        raylib::Image const image =
            raylib::GenImageGradientRadial(64, 64, 0.0f, {255, 255, 255, 255}, {255, 255, 255, 0});
        haloTexture = raylib::LoadTextureFromImage(image);
        raylib::UnloadImage(image);
        raylib::SetTextureFilter(haloTexture, raylib::TEXTURE_FILTER_BILINEAR);
    }
    // Added to what lies behind, under raylib's own program, hidden by
    // what lies in front.
    raylib::rlDrawRenderBatchActive();
    raylib::EndShaderMode();
    raylib::BeginBlendMode(raylib::BLEND_ADDITIVE);
    raylib::rlDisableDepthMask();
    for (Halo const& halo : halos) raylib::DrawBillboard(camera, haloTexture, halo.position, halo.size, halo.tint);
    raylib::rlDrawRenderBatchActive();
    raylib::rlEnableDepthMask();
    raylib::EndBlendMode();
    raylib::BeginShaderMode(lightShader);
    halos.clear();
}

void SceneRenderer::drawGlass() {
    // The farthest first, over what lies behind, writing no depth.
    std::sort(glass.begin(), glass.end(),
              [](GlassMesh const& a, GlassMesh const& b) { return a.distance > b.distance; });
    raylib::rlDrawRenderBatchActive();
    raylib::rlDisableDepthMask();
    raylib::Texture2D const plain = material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture;
    for (GlassMesh const& pane : glass) {
        material.shader = pane.clearOfFog ? clearLightShader : lightShader;
        material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture = pane.shades;
        raylib::DrawMesh(*pane.mesh, material, pane.transform);
    }
    raylib::rlEnableDepthMask();
    material.shader = lightShader;
    material.maps[raylib::MATERIAL_MAP_DIFFUSE].texture = plain;
    glass.clear();
}

bool SceneRenderer::clearOfFog(raylib::BoundingBox const& bounds, raylib::Vector3 camera) const {
    if (!(fogStart > 0)) return false;
    auto const farther = [](float c, float low, float high) { return std::max(std::abs(c - low), std::abs(c - high)); };
    raylib::Vector3 const far{farther(camera.x, bounds.min.x, bounds.max.x),
                              farther(camera.y, bounds.min.y, bounds.max.y),
                              farther(camera.z, bounds.min.z, bounds.max.z)};
    return raylib::Vector3LengthSqr(far) < fogStart * fogStart;
}

void SceneRenderer::drawPart(Part const& part, raylib::Vector3 camera) {
    if (part.model) {
        drawModel(*part.onGpu, part.model->drawPosition(), part.model->scale, part.bounds, camera);
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

void SceneRenderer::prepareFaceShaders() {
    viewFrustum = Frustum::ofCurrentView();
    // The faces' programs draw with the view as raylib draws meshes, with
    // no model transform, and untinted.
    raylib::Matrix const identity = raylib::MatrixIdentity();
    raylib::Matrix const viewProjection = currentViewProjection();
    float const white[4] = {1, 1, 1, 1};
    for (raylib::Shader const shader : {faceShader, clearFaceShader, sunlitFaceShader, sunlitClearFaceShader}) {
        if (shader.id == 0) continue;
        raylib::SetShaderValueMatrix(shader, shader.locs[raylib::SHADER_LOC_MATRIX_MVP], viewProjection);
        raylib::SetShaderValueMatrix(shader, shader.locs[raylib::SHADER_LOC_MATRIX_MODEL], identity);
        raylib::SetShaderValueMatrix(shader, shader.locs[raylib::SHADER_LOC_MATRIX_NORMAL], identity);
        raylib::SetShaderValue(shader, shader.locs[raylib::SHADER_LOC_COLOR_DIFFUSE], white,
                               raylib::SHADER_UNIFORM_VEC4);
    }
}

std::vector<std::pair<float, SceneRenderer::Part*>> SceneRenderer::partsInView(raylib::Vector3 camera) {
    Frustum const& frustum = *viewFrustum;
    std::vector<std::pair<float, Part*>> inView;
    for (Part& part : parts) {
        // What the last frame's queries found, for the parts drawn with one.
        if (part.queried) {
            GLuint samples = 0;
            glGetQueryObjectuiv(part.query, GL_QUERY_RESULT, &samples);
            part.seen = samples > 0;
            part.queried = false;
        }
        float const distance = distanceSquared(camera, part.bounds);
        if (!frustum.meets(part.bounds) || beyondView(distance)) {
            part.seen = false;  // not known to show when it comes into view
            continue;
        }
        if (OCCLUSION_QUERIES && !part.query) glGenQueries(1, &part.query);
        inView.emplace_back(distance, &part);
    }
    std::sort(inView.begin(), inView.end(), [](auto const& a, auto const& b) { return a.first < b.first; });
    return inView;
}

bool SceneRenderer::beyondView(float distanceSquared) const {
    return viewDistance > 0 && distanceSquared > viewDistance * viewDistance;
}

void SceneRenderer::drawBaked(raylib::Camera3D const& camera) {
    prepareFaceShaders();
    drawnTriangles = 0;
    std::vector<std::pair<float, Part*>> const inView = partsInView(camera.position);
    if (!OCCLUSION_QUERIES) {
        for (auto const& [distance, part] : inView) drawPart(*part, camera.position);
        return;
    }
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
    drawIfShown(hidden, inView.size() - hidden.size(), camera.position);
}

void SceneRenderer::drawIfShown(std::vector<Part*> const& hidden, size_t drawn, raylib::Vector3 camera) {
    // In waves, nearest first, each wave larger than the last: the bounding
    // boxes of a wave's parts depth-tested but written nowhere (their sides
    // facing the camera, which is outside them), and those found in view
    // drawn, hiding parts of the waves after it. After a turn or a jump most
    // parts in view are not known to show, and all would be drawn if they
    // were tested at once.
    size_t wave = std::max<size_t>(FIRST_WAVE, drawn);
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
            if (hidden[i]->seen) drawPart(*hidden[i], camera);
        }
    }
}

void SceneRenderer::drawScene(raylib::Camera3D const& camera, World const& world, Weapon* weapon, raylib::Vector3 eye,
                              ScenePrograms const& programs) {
    raylib::ClearBackground(programs.atmosphere ? programs.atmosphere->horizon : SKY_COLOR);
    raylib::BeginMode3D(camera);
    if (programs.sky) programs.sky->drawDome(*programs.atmosphere);
    raylib::BeginShaderMode(programs.light);
    usePrograms(programs);
    if (weapon) weapon->draw(eye, camera.target);
    if (bakedBoxes) {
        bakeDue(world, camera.position);
        // A unit at a distance of one spans half the projection's y scale
        // of the view's height.
        pixelsPerUnit = raylib::rlGetMatrixProjection().m5 * static_cast<float>(raylib::rlGetFramebufferHeight()) / 2;
        bakeCoarse(camera.position);
        drawBaked(camera);
    } else {
        ::drawScene(world.intersector->entityList());
        ::drawScene(world.drawnOnly);
    }
    drawObjects(camera.position);
    drawHalos(camera);
    drawGlass();
    raylib::EndShaderMode();
    if (programs.sky) programs.sky->drawSun(*programs.atmosphere);
    raylib::EndMode3D();
}

void SceneRenderer::bakeDue(World const& world, raylib::Vector3 camera) {
    sortUntil(world, Clock::time_point::max());
    bakeWaiting(*world.intersector, camera);
    shadeNear(*world.intersector, camera);
}

void SceneRenderer::usePrograms(ScenePrograms const& programs) {
    material.shader = lightShader = programs.light;
    clearLightShader = programs.clearLight;
    metalLightShader = programs.metalLight.id ? programs.metalLight : programs.light;
    clearMetalLightShader = programs.clearMetalLight.id ? programs.clearMetalLight : programs.clearLight;
    clearFaceShader = programs.clearFlat;
    sunMap = programs.sunMap;
    sunlitFaceShader = programs.sunlitFlat;
    sunlitClearFaceShader = programs.sunlitClearFlat;
    fogStart = programs.fogStart;
    // Merged faces take the light of their list; without one (a light that
    // is not the sun's kind lights each corner differently), they show
    // their own colours. Face by face is drawn as the first versions drew it.
    faceLights = mergedFaces ? programs.faces.lights : std::nullopt;
    faceSunShares = programs.faces.sunShares;
    faceShader = mergedFaces ? programs.faces.flat : programs.faces.each;
}

raylib::Matrix SceneRenderer::drawDepth(raylib::Camera3D const& view, World const& world, ScenePrograms const& programs,
                                        int share, int shares) {
    raylib::BeginMode3D(view);
    raylib::Matrix const viewProjection = currentViewProjection();
    raylib::BeginShaderMode(programs.light);
    usePrograms(programs);
    bool const last = share == shares - 1;
    if (bakedBoxes) {
        prepareFaceShaders();
        // Every shares-th chunk: neighbours fall into different shares.
        for (size_t i = share; i < parts.size(); i += shares) {
            if (viewFrustum->meets(parts[i].bounds)) drawPart(parts[i], view.position);
        }
    } else if (last) {
        ::drawScene(world.intersector->entityList());
        ::drawScene(world.drawnOnly);
    }
    if (last) drawObjects(view.position);
    // Light passes through glass and halos.
    glass.clear();
    halos.clear();
    raylib::EndShaderMode();
    raylib::EndMode3D();
    return viewProjection;
}

int SceneRenderer::addObject(SceneObject object) {
    objects.emplace(++lastObject, std::move(object));
    return lastObject;
}

void SceneRenderer::moveObject(int id, raylib::Vector3 position) {
    if (auto object = objects.find(id); object != objects.end()) object->second.position = position;
}

void SceneRenderer::removeObject(int id) {
    auto const object = objects.find(id);
    if (object == objects.end()) return;
    LoadedModel const* const model = object->second.model.get();
    objects.erase(object);
    bool const stillShown = std::any_of(objects.begin(), objects.end(),
                                        [&](auto const& other) { return other.second.model.get() == model; });
    if (!stillShown) objectModels.erase(model);
}

void SceneRenderer::drawObjects(raylib::Vector3 camera) {
    Frustum const frustum = Frustum::ofCurrentView();
    for (auto const& [id, object] : objects) {
        raylib::BoundingBox const& box = object.model->bounds;
        raylib::Vector3 const center = raylib::Vector3Scale(raylib::Vector3Add(box.min, box.max), 0.5f);
        raylib::Vector3 const origin =
            raylib::Vector3Subtract(object.position, raylib::Vector3Scale(center, object.scale));
        raylib::BoundingBox const bounds{raylib::Vector3Add(origin, raylib::Vector3Scale(box.min, object.scale)),
                                         raylib::Vector3Add(origin, raylib::Vector3Scale(box.max, object.scale))};
        if (!frustum.meets(bounds) || beyondView(distanceSquared(camera, bounds))) continue;
        auto& onGpu = objectModels[object.model.get()];
        if (!onGpu) onGpu = std::make_unique<ModelOnGpu>(object.model);
        drawModel(*onGpu, origin, object.scale, bounds, camera);
    }
}

size_t SceneRenderer::meshBytes() const {
    size_t bytes = 0;
    for (Part const& part : parts) {
        for (FaceList const& list : part.faces) bytes += list.bytes;
        for (FaceList const& list : part.coarseFaces) bytes += list.bytes;
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

size_t SceneRenderer::coarseChunks() const {
    return std::count_if(parts.begin(), parts.end(), hasCoarseFaces);
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
