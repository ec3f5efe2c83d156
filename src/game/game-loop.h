#pragma once

#include <memory>
#include <string>

#include "controller.h"
#include "intersector.h"
#include "player.h"
#include "world.h"

inline constexpr float MOVE_SPEED = 9.0f;
inline constexpr float MOUSE_SENSITIVITY = 0.05f;
inline constexpr raylib::Vector3 START_POSITION{0.0f, 2.2f, 4.0f};

// The camera the game starts with: at the player's eyes, looking almost
// along -x.
raylib::Camera3D startCamera();

// The controller the game reads: the keyboard, and gamepad 0 when one is
// present now (one connected later is not picked up).
std::shared_ptr<CompositeController> makeController();

// Everything of one frame but the drawing: reads the controller, turns and
// moves the camera horizontally, lets the player follow against the index
// (or go back to the start while reset is held) and puts the camera on the
// player's eyes. Returns whether the information box is asked for.
bool stepFrame(raylib::Camera3D& camera, Controller const& controller, Player& player,
               std::shared_ptr<Intersector> const& intersector, float frameTime, raylib::Vector2 mouseDelta);

// Runs frames until the window is asked to close. F5 reads the scene file
// (the demo scene's, unless given) again.
void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player);
void gameLoop(std::shared_ptr<World> world, std::shared_ptr<Player> player, std::string const& scenePath);

// How long a problem of a reloaded scene stays on the screen.
inline constexpr double NOTICE_SECONDS = 6.0;

// Reads the scene file again, seeded as at start, into a new world for the
// player where it stands. When the file has a problem that would stop the
// game, the old world stays and the problem is returned as
// "FILE:LINE:COLUMN: error: message"; otherwise the result is empty.
std::string reloadScene(std::string const& path, std::shared_ptr<Player> const& player, std::shared_ptr<World>& world);
