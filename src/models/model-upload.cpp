#include "model-upload.h"

ModelOnGpu::ModelOnGpu(std::shared_ptr<LoadedModel const> loaded) : loaded(std::move(loaded)) {
    raylib::Model const& source = this->loaded->model;
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
}

ModelOnGpu::~ModelOnGpu() {
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
