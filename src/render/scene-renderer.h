#pragma once

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "aabox.h"
#include "frustum.h"
#include "intersector.h"
#include "model-entity.h"
#include "model-upload.h"
#include "weapon.h"
#include "world.h"

// Something drawn where it is in each frame, which may move or go away
// without anything being baked again: a model with its bounding-box centre
// on position (another player's figure, a marker). It collides with nothing.
struct SceneObject {
    std::shared_ptr<LoadedModel const> model;
    raylib::Vector3 position{};
    float scale = 0.1f;
};

// The programs a frame's faces are drawn with: the faces' program, and one
// given the light of a list of faces with the light of faces pointing each
// way (in the order of BoxFace), when the lights allow it.
struct FacePrograms {
    raylib::Shader each{};
    raylib::Shader flat{};
    std::optional<std::array<raylib::Vector3, 6>> lights;
    // In the rich looks with shadows, the share of each light that is the
    // sun's, which a shadow takes away.
    std::array<raylib::Vector3, 6> sunShares{};
};

class RichSky;
struct Atmosphere;

// What a frame is drawn with: the light shader for models and entities, the
// faces' programs, the sky behind everything, and the atmosphere, whose
// horizon is the colour behind the sky (none: the plain sky's colour).
struct ScenePrograms {
    raylib::Shader light{};
    FacePrograms faces;
    RichSky const* sky = nullptr;
    Atmosphere const* atmosphere = nullptr;
    // With a fog from fogStart on (0: none), the light shader and the faces'
    // program given a list's light without it, for what lies wholly nearer:
    // the fog costs only what it touches.
    raylib::Shader clearLight{}, clearFlat{};
    float fogStart = 0;
    // For models with a metal's sheen, the light shader and its clear one
    // working out the sun's highlight, which costs every pixel drawn with
    // them (none: the others).
    raylib::Shader metalLight{}, clearMetalLight{};
    // With shadows, the view of the sun's map, and the faces' programs given
    // a list's light without shadows, for faces no shadow can darken: those
    // wholly beside the map or before it, all in the sun (what lies beyond
    // its far side may still be in a shadow), and those turned from the sun.
    // A shadow's lookup costs every pixel.
    std::optional<Frustum> sunMap{};
    raylib::Shader sunlitFlat{}, sunlitClearFlat{};
};

// Draws the 3D part of a frame: the weapon, every entity of a world (those
// of its collision index and those only drawn) and the objects added here,
// under the light shader, over the sky's dome, and the sun where they left
// the view empty.
//
// Boxes never change once the scene is loaded, so they are baked, chunk by
// chunk (cubic regions of the world), into lists of faces on the GPU (see
// FaceList), a list for each way faces point, without the faces that other
// boxes hide. A frame draws only the chunks and models whose bounds meet
// the view frustum, nearest first, and of a chunk or model only the faces
// that can point towards the camera; of a chunk's merged faces, only the
// eighths of each list that meet the view.
//
// A chunk or model that was not seen in the last frame (nearer ones hid
// it, or it was out of view) is not drawn unless the GPU finds some of its
// bounding box in view after those seen last frame, and those nearer it,
// are drawn: a depth-tested occlusion query, so nothing that can be seen is
// left out, in any frame.
//
// A new index, or one that has grown, is baked anew: its chunks nearest the
// camera first, the others over the following frames, a few milliseconds
// a frame, unless all are asked for at once. Each model file is uploaded
// once, and its copy kept while the index shows it. Must be used and
// destroyed while the graphics context exists.
class SceneRenderer {
public:
    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(SceneRenderer const&) = delete;
    SceneRenderer& operator=(SceneRenderer const&) = delete;

    // The weapon (when there is one, anchored at eye and aimed at the
    // camera's target) and the entities seen through the camera, boxes
    // under the faces' program, the rest under the light shader, over the
    // sky.
    void drawScene(raylib::Camera3D const& camera, World const& world, Weapon* weapon, raylib::Vector3 eye,
                   ScenePrograms const& programs);

    // Sorts the world's entities into chunks, when it is new, and bakes the
    // chunks due in this frame, those around the camera first.
    void bakeDue(World const& world, raylib::Vector3 camera);
    // The depth of everything the view (the sun's) meets into the current
    // target under the programs given: no weapon, no sky, no queries, so
    // that what the camera sees decides nothing. With shares above one,
    // only the share-th of that many shares of the chunks (the objects and
    // the unbaked entities with the last): drawn one after the other into
    // the same target, the shares draw it all. Gives the view's projection
    // times its view.
    raylib::Matrix drawDepth(raylib::Camera3D const& view, World const& world, ScenePrograms const& programs,
                             int share = 0, int shares = 1);

    // The objects drawn besides the world's entities, by the number each
    // gets when it is added.
    int addObject(SceneObject object);
    void moveObject(int id, raylib::Vector3 position);
    void removeObject(int id);
    size_t objectCount() const { return objects.size(); }

    // Baked chunks, or every entity drawing itself (the reference path).
    bool bakedBoxes = true;
    // Whether a chunk's solid boxes are baked as one surface, their faces
    // of a colour in a plane merged and the parts other boxes cover left
    // out, or each box's faces on their own, without those another box
    // covers whole (as the first versions baked them, kept to measure
    // against). Set before the first frame.
    bool mergedFaces = true;
    // Whether the corners of models and of merged faces are shaded by their
    // neighbours: a model's by its texture of shades, merged faces darkened
    // in the colours of their corners. A change bakes
    // every chunk again.
    bool shadedCorners = false;
    // Whether a chunk so far away that a cell of twice its smallest box
    // is less than a pixel is drawn as such cells (merged faces only), when
    // they look the same as its boxes and are fewer.
    bool coarseFarChunks = true;
    // What lies further from the camera than this is not drawn; 0 draws
    // everything.
    float viewDistance = 0;
    // The seconds a frame spends baking chunks, once the chunks around the
    // camera are baked; 0 bakes every chunk in the first frame.
    double bakingBudget = 0;

    // How far the work before the first frame has come: the index's
    // entities sorted into chunks, then the chunks around the camera baked
    // and those left.
    struct Progress {
        size_t sorted = 0, entities = 0, chunksBaked = 0, chunksLeft = 0;
        bool done() const { return sorted == entities && chunksLeft == 0; }
    };
    // Works for about the given seconds at what the next frame would do
    // whatever its budget: sorting the index into chunks, then baking the
    // chunks around the camera (nearest first). A loading screen shows the
    // progress.
    Progress bakeAround(World const& world, raylib::Vector3 camera, double seconds);

    // The chunks baked, and those still waiting.
    size_t chunksBaked() const { return parts.size() - entityParts; }
    size_t chunksWaiting() const { return waiting.size(); }
    // The baked faces' size on the GPU, in bytes, and their triangles.
    size_t meshBytes() const;
    size_t triangles() const;
    // The chunks with their coarse faces baked, and the triangles of baked
    // faces the last frame drew.
    size_t coarseChunks() const;
    size_t trianglesDrawn() const { return drawnTriangles; }

private:
    // A face of a box: its centre and half size, as DrawCubeV places its
    // corners, its colour, and the share of the light each corner of its
    // quad gets (in the order of the face's corners), from its neighbours.
    struct FaceInstance {
        float center[3], half[3];
        unsigned char color[4];
        unsigned char light[4];
    };
    // The faces of a chunk pointing one way, on the GPU. Merged faces are
    // drawn by their corners: of each corner, its place and its colour,
    // darkened by its share of the light; two triangles a face, by the
    // shared indices of quads. Faces baked each on its own are instances:
    // of each face, its centre, its half size unless all share it, and its
    // colour.
    struct FaceList {
        unsigned vao = 0, vbo = 0;
        int count = 0;
        size_t bytes = 0;
        // Merged faces come by the eighths of the list's bounds their
        // middles lie in, one eighth after another, each with the bounds
        // its faces span: an eighth out of view, or turned away, is not
        // drawn.
        struct Eighth {
            int first = 0, count = 0;
            raylib::BoundingBox bounds{};
        };
        std::array<Eighth, 8> eighths{};
        // Whether its instances share their half size, and that size.
        bool sharedHalf = false;
        float half[3] = {};
    };
    // A chunk's faces by the way they point (the six directions of
    // BoxFace), then the faces of boxes of a size not above 0, which point
    // either way, by the same six.
    static constexpr int FACE_LISTS = 12;
    using FaceListsOnGpu = std::array<FaceList, FACE_LISTS>;

    // Something drawn as a whole when its bounds meet the view.
    // The boxes of a chunk not baked yet, and the bounds of their boxes.
    struct Waiting {
        raylib::BoundingBox bounds;
        std::vector<AABox const*> boxes;
    };
    struct Part {
        raylib::BoundingBox bounds;
        FaceListsOnGpu faces{};
        // A chunk's faces as cells of coarseSide, drawn from where such a
        // cell is less than a pixel, once baked from its boxes (0: none).
        FaceListsOnGpu coarseFaces{};
        float coarseSide = 0;
        std::vector<AABox const*> boxes;
        // Its chunk, when it was baked without the shading of its corners
        // and is to be baked with it once the camera comes near.
        std::optional<Waiting> toShade;
        std::shared_ptr<Entity> entity;      // or an entity that draws itself
        ModelEntity const* model = nullptr;  // the entity, when it is a model
        ModelOnGpu* onGpu = nullptr;         // and the model's copy on the GPU
        unsigned query = 0;                  // its occlusion query, once made
        bool seen = false;                   // whether it showed in the last frame
        bool queried = false;                // whether the query was drawn with it
    };
    using ChunkKey = std::tuple<int, int, int>;

    using Clock = std::chrono::steady_clock;

    // Sorts entities into parts and waiting chunks.
    class Sorter;
    // Whether the parts and chunks are those of this world as it is.
    bool isSource(World const& world) const;
    // Sorts the world's entities, from the first, until the deadline: those
    // that are not boxes become parts, and boxes wait in chunks to be baked.
    // Returns whether all are sorted.
    bool sortUntil(World const& world, Clock::time_point deadline);
    void startSorting(World const& world);
    bool sortSome(World const& world, Clock::time_point deadline);
    void sortModel(ModelEntity const& model, std::shared_ptr<Entity> const& entity);
    void sortBox(AABox const& box);
    void bakeChunk(Intersector const& index, Waiting& chunk, raylib::Vector3 camera);
    // A chunk's faces on the GPU, their corners shaded or not.
    FaceListsOnGpu bakeFaces(Intersector const& index, Waiting const& chunk, bool shaded);
    // Whether the corners of a chunk of those bounds are shaded, seen from
    // the camera.
    bool shadedFrom(raylib::BoundingBox const& bounds, raylib::Vector3 camera) const;
    // Bakes again, shaded, the chunks baked plain that the camera has come
    // near, for the baking budget.
    void shadeNear(Intersector const& index, raylib::Vector3 camera);
    static void unload(FaceListsOnGpu& lists);
    using FaceLists = std::array<std::vector<FaceInstance>, FACE_LISTS>;
    FaceListsOnGpu upload(FaceLists const& lists);
    // Whether a part is drawn coarse from the camera, whether its coarse
    // faces are baked (its boxes let go once they are), and whether they
    // wait to be.
    bool drawnCoarse(Part const& part, raylib::Vector3 camera) const;
    static bool hasCoarseFaces(Part const& part);
    bool coarseWaiting(Part const& part, raylib::Vector3 camera) const;
    // Bakes the coarse faces of the chunks that would be drawn coarse,
    // within the budget, once no chunk waits to be baked.
    void bakeCoarse(raylib::Vector3 camera);
    void bakeCoarseFaces(Part& part);
    // The boxes of other chunks that come within reach of the chunk.
    static std::vector<AABox const*> boxesAround(Intersector const& index, Waiting const& chunk, float reach);
    static FaceInstance instanceOf(AABox const& box);
    // The faces of a box in shown (a mask with bit f for face f).
    static void addFaces(AABox const& box, uint8_t shown, FaceLists& lists);
    // Each box's faces that no box covers whole, or the surface of the
    // boxes merged.
    static void addEachFace(std::vector<AABox const*> const& boxes, std::vector<AABox const*> const& around,
                            FaceLists& lists);
    static void addSurface(std::vector<AABox const*> const& boxes, std::vector<AABox const*> const& around,
                           float shadingBand, FaceLists& lists);
    FaceList uploadCorners(std::vector<FaceInstance> const& faces, int direction);
    // The faces sorted by the eighths of their bounds their middles lie in,
    // and where each eighth's faces lie in that order.
    static std::vector<FaceInstance> byEighths(std::vector<FaceInstance> const& faces,
                                               std::array<FaceList::Eighth, 8>& eighths);
    FaceList uploadInstances(std::vector<FaceInstance> const& faces) const;
    // Binds to the vertex array being made indices for at least this many
    // quads.
    void bindQuadIndices(int quads);
    // The keys of the waiting chunks, nearest the camera first, with their
    // squared distances.
    std::vector<std::pair<float, ChunkKey>> waitingByDistance(raylib::Vector3 camera) const;
    // Bakes the waiting chunks nearest the camera, within the budget.
    void bakeWaiting(Intersector const& index, raylib::Vector3 camera);
    // Gives back the parts' GPU objects and forgets the parts and the
    // waiting chunks; sorting starts again from the first entity.
    void release();
    void drawBaked(raylib::Camera3D const& camera);
    void prepareFaceShaders();
    // Makes the programs the ones the parts are drawn with.
    void usePrograms(ScenePrograms const& programs);
    // Whether the whole of the bounds lies nearer than the fog begins.
    bool clearOfFog(raylib::BoundingBox const& bounds, raylib::Vector3 camera) const;
    // The parts whose bounds meet the view prepareFaceShaders took, nearest
    // first, with their squared distances; what the last frame's queries
    // found is read first.
    std::vector<std::pair<float, Part*>> partsInView(raylib::Vector3 camera);
    bool beyondView(float distanceSquared) const;
    // Draws those of the parts not known to show that the GPU finds in view,
    // after drawn others were drawn.
    void drawIfShown(std::vector<Part*> const& hidden, size_t drawn, raylib::Vector3 camera);
    void drawPart(Part const& part, raylib::Vector3 camera);
    void drawFaces(Part const& part, raylib::Vector3 camera);
    // Draws a list of instances, faces pointing the way of that number.
    static void drawInstances(raylib::Shader shader, FaceList const& list, int direction);
    // The faces' program, with or without the fog, and without shadows for
    // faces no shadow can darken.
    raylib::Shader faceProgram(bool clearOfFog, bool sunlit) const;
    // Draws the eighths of a list of merged faces that meet the view and,
    // given the faces' normal, may face the camera.
    void drawEighths(FaceList const& list, float const* normal, raylib::Vector3 camera);
    void drawBounds(Part const& part);
    void drawModel(ModelOnGpu& onGpu, raylib::Vector3 origin, float scale, raylib::BoundingBox const& bounds,
                   raylib::Vector3 camera);
    void drawObjects(raylib::Vector3 camera);

    // The model's copy on the GPU, uploaded when it is first seen.
    ModelOnGpu& uploaded(std::shared_ptr<LoadedModel const> const& model);
    // The glass meshes of the models drawn in this frame, put off until
    // everything else is drawn, and then drawn.
    struct GlassMesh {
        raylib::Mesh const* mesh;
        raylib::Matrix transform;
        float distance;
        bool clearOfFog;
        raylib::Texture2D shades;
    };
    std::vector<GlassMesh> glass;
    void drawGlass();
    // The halos of the emissive voxels of the models drawn in this frame,
    // added over everything else but glass, and the texture they take.
    struct Halo {
        raylib::Vector3 position;
        float size;
        raylib::Color tint;
    };
    std::vector<Halo> halos;
    raylib::Texture2D haloTexture{};
    void drawHalos(raylib::Camera3D const& camera);

    // The index baked: another, or this one grown, is baked anew.
    std::weak_ptr<Intersector const> source;
    int bakedCount = 0;
    size_t bakedDrawnOnly = 0;
    std::vector<Part> parts;
    size_t entityParts = 0;
    std::map<ChunkKey, Waiting> waiting;
    size_t sorted = 0;
    bool allSorted = false;
    std::map<LoadedModel const*, std::unique_ptr<ModelOnGpu>> models;
    // The models of the index before, while the new one is sorted.
    std::map<LoadedModel const*, std::unique_ptr<ModelOnGpu>> modelsBefore;
    std::map<int, SceneObject> objects;
    int lastObject = 0;
    // The objects' models on the GPU, while an object shows them.
    std::map<LoadedModel const*, std::unique_ptr<ModelOnGpu>> objectModels;
    raylib::Material material;
    // The faces' program of this frame, and the light of each way faces
    // point when it is the one given a list's light, with the sun's share.
    raylib::Shader faceShader{};
    std::optional<std::array<raylib::Vector3, 6>> faceLights;
    std::array<raylib::Vector3, 6> faceSunShares{};
    // The view the faces are drawn in, set with their programs.
    std::optional<Frustum> viewFrustum;
    // The light shader of this frame, and the programs without fog.
    raylib::Shader lightShader{}, clearLightShader{}, clearFaceShader{};
    raylib::Shader metalLightShader{}, clearMetalLightShader{};
    std::optional<Frustum> sunMap{};
    raylib::Shader sunlitFaceShader{}, sunlitClearFaceShader{};
    float fogStart = 0;
    // The pixels a unit spans at a distance of one in this frame's view.
    float pixelsPerUnit = 0;
    // Whether the chunks are baked with their corners shaded.
    bool shadedChunks = false;
    size_t drawnTriangles = 0;
    // A unit cube, drawn as a part's bounding box in occlusion queries.
    raylib::Mesh cube;
    // The indices of the triangles of quads, four corners each, that lists
    // of corners share, and how many quads they index; the buffers they
    // outgrew stay bound to the lists made before.
    unsigned quadIndices = 0;
    int quadIndexCapacity = 0;
    std::vector<unsigned> outgrownQuadIndices;
    // Gives the indices back, once no list is bound to them.
    void unloadQuadIndices();
};

// Draws every entity of the list, in list order.
void drawScene(std::vector<std::shared_ptr<Entity>> entities);
