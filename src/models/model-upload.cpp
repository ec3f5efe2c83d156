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

raylib::Texture2D uploadedShades(CornerShades const& shades) {
    if (shades.height == 0) return {};
    raylib::Image image{const_cast<unsigned char*>(shades.texels.data()), shades.width, shades.height, 1,
                        raylib::PIXELFORMAT_UNCOMPRESSED_GRAYSCALE};
    raylib::Texture2D const texture = raylib::LoadTextureFromImage(image);
    raylib::SetTextureFilter(texture, raylib::TEXTURE_FILTER_BILINEAR);
    raylib::SetTextureWrap(texture, raylib::TEXTURE_WRAP_CLAMP);
    return texture;
}

}  // namespace

ModelOnGpu::ModelOnGpu(std::shared_ptr<LoadedModel const> loaded)
    : loaded(std::move(loaded)), model(uploaded(this->loaded->model)) {}

ModelOnGpu::~ModelOnGpu() {
    unload(model);
    unload(shaded);
    if (shades.id != 0) raylib::UnloadTexture(shades);
}

raylib::Model const& ModelOnGpu::shadedModel() {
    if (!shaded.meshes) {
        shaded = uploaded(loaded->shadedModel());
        shades = uploadedShades(loaded->cornerShades());
    }
    return shaded;
}

raylib::Texture2D ModelOnGpu::shadeTexture() const {
    return shades;
}
