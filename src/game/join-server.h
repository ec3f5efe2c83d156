#pragma once

#include <memory>
#include <string>

#include "game-loop.h"
#include "loading-screen.h"

// What a player asks for to join a server.
struct JoinRequest {
    // HOST or HOST:PORT.
    std::string server;
    std::string name;
    // The file whose first line is the server's password; empty for none.
    std::string passwordFile;
    // The folder that holds assets/ (see assetPath).
    std::string assetRoot;
};

// A server joined: the others, the scene file it sent, and the fastest it
// lets a player fly.
struct Joined {
    std::unique_ptr<Company> company;
    std::string scenePath;
    float flySpeed = 0;
};

// Joins the server and receives its scene, its progress on the loading
// screen (see JoinedPlay). No company when it cannot, with the problem said
// (none when the window was closed meanwhile). A page cannot join a server.
Joined joinServer(JoinRequest const& request, LoadingScreen& screen, std::string& problem);
