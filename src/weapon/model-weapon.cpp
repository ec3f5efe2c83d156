#include "model-weapon.h"

namespace {

// The model's forward axis, and where the model sits relative to the eye
// once turned: 0.8 ahead, 1.5 up, 1.2 to the right.
constexpr raylib::Vector3 MODEL_FORWARD{1.0f, 0.0f, 0.0f};
constexpr raylib::Vector3 EYE_OFFSET{0.8f, 1.5f, 1.2f};
constexpr float WEAPON_SCALE = 0.1f;

// The rotation taking MODEL_FORWARD onto the unit (or zero) direction d: the
// quaternion (forward x d, 1 + forward . d), normalised unless its length is 0.
raylib::Quaternion rotationOntoDirection(raylib::Vector3 d) {
    raylib::Vector3 const c = raylib::Vector3CrossProduct(MODEL_FORWARD, d);
    raylib::Quaternion q{c.x, c.y, c.z, 1.0f + raylib::Vector3DotProduct(MODEL_FORWARD, d)};
    float const length = sqrtf(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0.0f) return q;
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

}  // namespace

ModelWeapon::ModelWeapon(std::string path, Lighting& lighting)
    : onGpu(std::make_shared<LoadedModel const>(path)), model(onGpu.model) {
    lighting.setModelShaders(model);
}

raylib::Vector3 ModelWeapon::placeModel(raylib::Vector3 anchor, raylib::Vector3 aimPoint) {
    // Only the yaw of the view turns the weapon: the height difference is dropped.
    raylib::Vector3 direction{aimPoint.x - anchor.x, 0.0f, aimPoint.z - anchor.z};
    direction = raylib::Vector3Normalize(direction);
    model.transform = raylib::QuaternionToMatrix(rotationOntoDirection(direction));
    raylib::Vector3 const offset = raylib::Vector3Transform(EYE_OFFSET, model.transform);
    return raylib::Vector3Subtract(anchor, offset);
}

void ModelWeapon::draw(raylib::Vector3 anchor, raylib::Vector3 aimPoint) {
    raylib::DrawModel(model, placeModel(anchor, aimPoint), WEAPON_SCALE, {255, 255, 255, 255});
}
