#include "scene-renderer.h"

#include "aabox.h"
#include "shader.h"

namespace {

constexpr raylib::Color SKY{102, 191, 255, 255};

constexpr int VERTICES_PER_BOX = 24;
constexpr int INDICES_PER_BOX = 36;
// Mesh indices are 16 bits wide.
constexpr int BOXES_PER_MESH = 65535 / VERTICES_PER_BOX;

// The six faces of a box: outward normal and four corners, counter-clockwise
// seen from outside, as signs of the half size.
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

// One mesh of boxes, uploaded to the GPU. raylib frees the arrays with the mesh.
raylib::Mesh bakeBoxes(std::vector<AABox const*> const& boxes) {
    raylib::Mesh mesh{};
    int const count = static_cast<int>(boxes.size());
    mesh.vertexCount = count * VERTICES_PER_BOX;
    mesh.triangleCount = count * INDICES_PER_BOX / 3;
    mesh.vertices = static_cast<float*>(raylib::MemAlloc(mesh.vertexCount * 3 * sizeof(float)));
    mesh.normals = static_cast<float*>(raylib::MemAlloc(mesh.vertexCount * 3 * sizeof(float)));
    mesh.colors = static_cast<unsigned char*>(raylib::MemAlloc(mesh.vertexCount * 4));
    mesh.indices = static_cast<unsigned short*>(raylib::MemAlloc(count * INDICES_PER_BOX * sizeof(unsigned short)));

    int vertex = 0, index = 0;
    for (AABox const* box : boxes) {
        raylib::Vector3 const p = box->position;
        raylib::Vector3 const s = box->aabb.size;
        // As DrawCubeV places the corners: centre plus or minus half the size.
        float const half[3] = {s.x / 2, s.y / 2, s.z / 2};
        float const centre[3] = {p.x, p.y, p.z};
        unsigned char const rgba[4] = {box->color.r, box->color.g, box->color.b, box->color.a};
        for (Face const& face : FACES) {
            int const first = vertex;
            for (auto const& corner : face.corners) {
                for (int axis = 0; axis < 3; ++axis) {
                    mesh.vertices[vertex * 3 + axis] = centre[axis] + corner[axis] * half[axis];
                    mesh.normals[vertex * 3 + axis] = face.normal[axis];
                }
                for (int channel = 0; channel < 4; ++channel) mesh.colors[vertex * 4 + channel] = rgba[channel];
                ++vertex;
            }
            for (int corner : {0, 1, 2, 0, 2, 3}) {
                mesh.indices[index++] = static_cast<unsigned short>(first + corner);
            }
        }
    }
    raylib::UploadMesh(&mesh, false);
    return mesh;
}

}  // namespace

SceneRenderer::SceneRenderer() : material(raylib::LoadMaterialDefault()) {}

SceneRenderer::~SceneRenderer() {
    release();
    // The material's shader is the light shader, which is not ours to unload.
    raylib::MemFree(material.maps);
}

void SceneRenderer::release() {
    for (raylib::Mesh& mesh : meshes) raylib::UnloadMesh(mesh);
    meshes.clear();
    others.clear();
    drawnCount = 0;
}

void SceneRenderer::catchUp(Intersector const& index) {
    if (&index != source || index.size() < drawnCount) {
        release();
        source = &index;
    }
    if (index.size() == drawnCount) return;

    auto const entities = index.getEntities();
    std::vector<AABox const*> boxes;
    for (size_t i = static_cast<size_t>(drawnCount); i < entities.size(); ++i) {
        auto const box = std::dynamic_pointer_cast<AABox>(entities[i]);
        if (box) {
            boxes.push_back(box.get());
        } else {
            others.push_back(entities[i]);
        }
        if (boxes.size() == BOXES_PER_MESH) {
            meshes.push_back(bakeBoxes(boxes));
            boxes.clear();
        }
    }
    if (!boxes.empty()) meshes.push_back(bakeBoxes(boxes));
    drawnCount = static_cast<int>(entities.size());
}

void SceneRenderer::drawBaked(Intersector const& index) {
    catchUp(index);
    material.shader = Shader::getLightShader()->shader;
    raylib::Matrix const identity = raylib::MatrixIdentity();
    for (raylib::Mesh const& mesh : meshes) raylib::DrawMesh(mesh, material, identity);
    for (auto const& entity : others) entity->draw();
}

void SceneRenderer::drawScene(raylib::Camera3D const& camera, Intersector const& index, Weapon* weapon,
                              raylib::Vector3 eye) {
    raylib::ClearBackground(SKY);
    raylib::BeginMode3D(camera);
    raylib::BeginShaderMode(Shader::getLightShader()->shader);
    if (weapon) weapon->draw(eye, camera.target);
    if (bakedBoxes) {
        drawBaked(index);
    } else {
        ::drawScene(index.getEntities());
    }
    raylib::EndShaderMode();
    raylib::EndMode3D();
}

void drawScene(std::vector<std::shared_ptr<Entity>> entities) {
    for (auto const& entity : entities) entity->draw();
}
