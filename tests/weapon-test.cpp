#include <gtest/gtest.h>

#include "gl-test.h"
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

    // Drawn along +x, a tenth of its size: the model's box, scaled and
    // placed, holds every pixel drawn and is mostly filled.
    raylib::Vector3 const at = weapon.placeModel(a, {20, 2, -3});
    raylib::BoundingBox const box = raylib::GetModelBoundingBox(weapon.model);
    raylib::Vector3 const from = raylib::Vector3Add(at, raylib::Vector3Scale(box.min, 0.1f));
    raylib::Vector3 const to = raylib::Vector3Add(at, raylib::Vector3Scale(box.max, 0.1f));
    raylib::Camera3D const camera{{at.x + 1, at.y + 1.5f, at.z + 3},
                                  raylib::Vector3Lerp(from, to, 0.5f),
                                  {0, 1, 0},
                                  45,
                                  raylib::CAMERA_PERSPECTIVE};
    float x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (int corner = 0; corner < 8; ++corner) {
        raylib::Vector3 const p{corner & 1 ? to.x : from.x, corner & 2 ? to.y : from.y, corner & 4 ? to.z : from.z};
        raylib::Vector2 const s = raylib::GetWorldToScreen(p, camera);
        x0 = std::min(x0, s.x), y0 = std::min(y0, s.y), x1 = std::max(x1, s.x), y1 = std::max(y1, s.y);
    }
    raylib::Image const image = captureFrame([&] {
        raylib::ClearBackground({0, 0, 0, 255});
        raylib::BeginMode3D(camera);
        weapon.draw(a, {20, 2, -3});
        raylib::EndMode3D();
    });
    int drawnX0 = image.width, drawnY0 = image.height, drawnX1 = -1, drawnY1 = -1;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (raylib::GetImageColor(image, x, y).r == 0) continue;
            drawnX0 = std::min(drawnX0, x), drawnY0 = std::min(drawnY0, y);
            drawnX1 = std::max(drawnX1, x), drawnY1 = std::max(drawnY1, y);
        }
    }
    raylib::UnloadImage(image);
    EXPECT_GE(drawnX0, x0 - 1);
    EXPECT_GE(drawnY0, y0 - 1);
    EXPECT_LE(drawnX1, x1 + 1);
    EXPECT_LE(drawnY1, y1 + 1);
    EXPECT_GT(drawnX1 - drawnX0, 0.7f * (x1 - x0));
    EXPECT_GT(drawnY1 - drawnY0, 0.7f * (y1 - y0));
}

}  // namespace
