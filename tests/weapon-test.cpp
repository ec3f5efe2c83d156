#include <gtest/gtest.h>

#include "model-weapon.h"
#include "renderer.h"
#include "test-entities.h"

namespace {

bool isIdentity(raylib::Matrix const& m) {
    return m.m0 == 1 && m.m5 == 1 && m.m10 == 1 && m.m15 == 1 && m.m1 == 0 && m.m2 == 0 && m.m4 == 0 && m.m6 == 0 &&
           m.m8 == 0 && m.m9 == 0;
}

TEST(ModelWeapon, TurnsWithTheYawOfTheView) {
    Renderer renderer;
    ModelWeapon weapon("assets/models/rock.vox", renderer.lighting);
    EXPECT_EQ(weapon.model.materials[0].shader.id, renderer.lighting.getLightShader()->shader.id);
    EXPECT_NE(weapon.model.meshes[0].vaoId, 0u) << "drawn from the GPU";
    raylib::Vector3 const a{10, 2, -3};
    struct Case {
        char const* name;
        raylib::Vector3 aim, drawnAt;
        bool identity;
    };
    Case const cases[] = {
        {"along +x", {20, 2, -3}, {9.2f, 0.5f, -4.2f}, true},
        {"along -z", {10, 2, -13}, {8.8f, 0.5f, -2.2f}, false},
        {"along +z", {10, 2, 7}, {11.2f, 0.5f, -3.8f}, false},
        {"straight up", {10, 9, -3}, {9.2f, 0.5f, -4.2f}, true},
        {"along -x", {0, 2, -3}, {9.2f, 0.5f, -4.2f}, true},
        {"along +x, aiming upward", {20, 7, -3}, {9.2f, 0.5f, -4.2f}, true},
    };
    for (auto const& c : cases) {
        EXPECT_VECTOR_EQ(weapon.placeModel(a, c.aim), c.drawnAt.x, c.drawnAt.y, c.drawnAt.z);
        EXPECT_EQ(isIdentity(weapon.model.transform), c.identity) << c.name;
    }
    // Aim points differing only in height give the same drawing.
    raylib::Vector3 const low = weapon.placeModel(a, {13, -5, 1});
    raylib::Matrix const lowTransform = weapon.model.transform;
    raylib::Vector3 const high = weapon.placeModel(a, {13, 50, 1});
    EXPECT_VECTOR_EQ(high, low.x, low.y, low.z);
    EXPECT_EQ(weapon.model.transform.m2, lowTransform.m2);
}

}  // namespace
