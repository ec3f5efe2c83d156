#include "model-upload.h"

namespace {

// The model's meshes on the GPU, sharing its arrays on the CPU, with one
// default material.
raylib::Model uploaded(raylib::Model const& source) {
    raylib::Model model{};
    model.transform = source.transform;
    model.meshCount = source.meshCount;
    model.meshes = new raylib::Mesh[source.meshCount];
    model.meshMaterial = new int[source.meshCount]();
    for (int i = 0; i < source.meshCount; ++i) {
        model.meshes[i] = source.meshes[i];
        model.meshes[i].vaoId = 0;
        model.meshes[i].vboId = nullptr;
        raylib::UploadMesh(&model.meshes[i], false);
    }
    model.materialCount = 1;
    model.materials = new raylib::Material[1]{raylib::LoadMaterialDefault()};
    return model;
}

void unload(raylib::Model const& model) {
    if (!model.meshes) return;
    for (int i = 0; i < model.meshCount; ++i) {
        // Only the GPU side: the arrays are the loaded model's.
        raylib::Mesh gpuSide{};
        gpuSide.vaoId = model.meshes[i].vaoId;
        gpuSide.vboId = model.meshes[i].vboId;
        raylib::UnloadMesh(gpuSide);
    }
    // The material's shader is not the model's to unload.
    raylib::MemFree(model.materials[0].maps);
    delete[] model.materials;
    delete[] model.meshMaterial;
    delete[] model.meshes;
}

}  // namespace

ModelOnGpu::ModelOnGpu(std::shared_ptr<LoadedModel const> loaded)
    : loaded(std::move(loaded)), model(uploaded(this->loaded->model)) {}

ModelOnGpu::~ModelOnGpu() {
    unload(model);
    unload(shaded);
}

raylib::Model const& ModelOnGpu::shadedModel() {
    if (!shaded.meshes) shaded = uploaded(loaded->shadedModel());
    return shaded;
}
