#pragma once

#include <chrono>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "enet-host.h"
#include "figure-track.h"
#include "protocol.h"
#include "scene-files.h"

// A server as the command line names it: HOST or HOST:PORT.
struct ServerAddress {
    std::string host;
    uint16_t port = DEFAULT_PORT;
    std::string text() const { return host + ":" + std::to_string(port); }
};
// None, with the problem said, when the text is not one.
std::optional<ServerAddress> parseServerAddress(std::string const& text, std::string& problem);

// Another player as drawn now.
struct Figure {
    PlayerId id = SERVER_ID;
    std::string name;
    PlayerState state;
};

// What a client has to tell its player.
struct News {
    enum Kind { CHAT, JOINED, LEFT, CORRECTED, ENDED } kind = CHAT;
    std::string text;
};

// A game's side of a joined session: it greets the server, receives the
// scene's files into its folder, says where its player is and what it
// says, and keeps the others' figures. Everything a server sends is
// bounded and checked; a server that breaks the rules ends the session.
class Client {
public:
    // Connects to the server; when folder is empty, no files are asked for
    // (a bot plays without them). Empty, with the problem, when it cannot.
    static std::unique_ptr<Client> join(ServerAddress const& address, Hello hello, std::filesystem::path folder,
                                        std::string& problem);
    // Says goodbye, so that the others see the player leave at once.
    ~Client();
    Client(Client const&) = delete;
    Client& operator=(Client const&) = delete;

    // Handles what has come, waiting up to that long for the first of it.
    void service(double waitSeconds = 0);

    // Greeted by the server, and not lost since.
    bool joined() const { return welcomed && !over; }
    bool ended() const { return over; }
    // Why the session ended.
    std::string const& endedWhy() const { return why; }
    Welcome const& welcome() const { return greeting; }
    // The name the server knows the player by.
    std::string const& name() const { return ownName; }

    // Whether a whole set of the scene's files has come since the last
    // call: the first, or the scene read again by the server.
    bool takeNewScene();
    uint64_t sceneBytesReceived() const { return receiver.received(); }
    uint64_t sceneBytes() const { return receiver.total(); }
    std::filesystem::path scenePath() const { return receiver.scenePath(); }

    // Where the player is; sent at most TICKS_PER_SECOND times a second.
    void sendMove(PlayerState const& state);
    void sendChat(std::string const& text);
    // The place the server put the player back at, once.
    std::optional<raylib::Vector3> takeCorrection();
    std::vector<News> takeNews();

    // The others as they stand now, FIGURE_DELAY behind what was heard.
    std::vector<Figure> figures() const;
    // Everyone's names, the player's own first.
    std::vector<std::string> playerNames() const;

private:
    Client() = default;
    double now() const;
    void received(ServerMessage const& message);
    void fileMessage(ServerMessage const& message);
    void end(std::string const& reason);
    void tell(News::Kind kind, std::string const& text);
    std::string nameOf(PlayerId id) const;

    std::unique_ptr<EnetHost> host;
    Hello hello;
    bool connected = false, welcomed = false, over = false;
    std::string why, ownName;
    Welcome greeting;
    bool wantsFiles = true;
    SceneReceiver receiver{""};
    bool newScene = false;
    uint16_t corrections = 0;
    std::optional<raylib::Vector3> correction;
    double lastMove = -1;
    std::deque<News> news;
    struct Other {
        std::string name;
        FigureTrack track;
    };
    std::map<PlayerId, Other> others;
    ServerClock clock;
    std::chrono::steady_clock::time_point const started = std::chrono::steady_clock::now();
};
