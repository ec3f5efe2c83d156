#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "enet-host.h"
#include "file-watch.h"
#include "player.h"
#include "protocol.h"
#include "recording.h"
#include "scene-files.h"

// How often the server tells everyone where everyone is, and a client
// tells it where it is.
inline constexpr double TICKS_PER_SECOND = 30;

// How a server runs.
struct ServerOptions {
    std::string scenePath;
    // The folder that holds the game's assets/ (see assetPath).
    std::string assetRoot;
    uint16_t port = DEFAULT_PORT;
    // 127.0.0.1 alone, or every address of the machine.
    bool localOnly = false;
    size_t maxPlayers = 16;
    // Empty: anyone may join.
    std::string password;
    // The speeds it allows, in units a second along each axis, as the game
    // moves; flying with a speed of 0 is refused.
    float walkSpeed = MOVE_SPEED, flySpeed = FLY_SPEED;
    // How long a client may be silent before its figure is dropped, and
    // how long it has to greet.
    double timeoutSeconds = 4;
};

// What a server has done, for its measures.
struct ServerCounts {
    uint64_t ticks = 0;
    uint64_t bytesSent = 0;
    uint64_t corrections = 0;
    uint64_t refusedMessages = 0;
};

// A scene served to players who join it: each is sent the scene's files,
// then where everyone else is, TICKS_PER_SECOND times a second, and what
// they say. It keeps each player within the speeds it allows, and reads its
// scene again when asked, for everyone. It says on its log who joins and
// leaves and what it corrects.
class Server {
public:
    // Reads and checks the scene and listens; empty, with the problem said,
    // when it cannot.
    static std::unique_ptr<Server> start(ServerOptions options, std::ostream& log, std::string& problem);
    ~Server();

    // Serves for about that long.
    void serve(double seconds);
    // Reads the scene again: a scene without problems goes to everyone, one
    // with problems is not served and the old one stays. Whether it went.
    bool reload();
    // Whether a save of the scene's files has settled since the last call.
    bool sceneSaved();

    uint16_t port() const { return host->port(); }
    size_t players() const;
    ServerCounts const& counts() const { return counted; }

private:
    struct Client;
    Server(ServerOptions options, std::ostream& log);

    double now() const;
    void handle(ENetEvent const& event);
    void connected(ENetPeer* peer);
    void disconnected(ENetPeer* peer);
    void received(ENetPeer* peer, ENetPacket const* packet);
    void greet(ENetPeer* peer, Client& client, Hello const& hello);
    void moved(ENetPeer* peer, Client& client, Move const& move);
    void chatted(ENetPeer* peer, Client& client, Chat const& chat);
    void refuse(ENetPeer* peer, std::string const& reason);
    void tick();
    void stream(ENetPeer* peer, Client& client);
    void send(ENetPeer* peer, ServerMessage const& message);
    void sendAll(ServerMessage const& message);
    std::string uniqueName(std::string const& wanted) const;
    // "(N players)", as the log counts them.
    std::string playerCount() const;
    // Takes a scene read without a problem as the one served: its files
    // watched, its start kept, its world let go.
    void serveScene(std::shared_ptr<ServedScene> fresh);
    PlayerId freeId();

    ServerOptions options;
    std::ostream& log;
    std::unique_ptr<EnetHost> host;
    std::shared_ptr<ServedScene const> scene;
    SaveWatch saves;
    std::map<ENetPeer*, Client> clients;
    PlayerId lastId = SERVER_ID;
    // The scene's start, where the reset key brings a player.
    raylib::Vector3 startEye{};
    double nextTick = 0;
    std::chrono::steady_clock::time_point const started = std::chrono::steady_clock::now();
    ServerCounts counted;
};

// The program: tessarine-server SCENE [--port P] [--max-players N]
// [--password-file F] [--address local|any]. Runs until interrupted;
// SIGHUP reads the scene again, as a save of its files does.
int serverMain(int argc, char** argv);
