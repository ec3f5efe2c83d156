#pragma once

#include <memory>
#include <string>

#include "client.h"

// A player without a window or the scene's files, for tests and measures:
// it joins, says where it stands and what it says, and hears the others.
class Bot {
public:
    // Empty, with the problem said, when it cannot connect.
    static std::unique_ptr<Bot> join(ServerAddress const& address, std::string const& name, std::string& problem,
                                     std::string const& password = "");

    // Serves the network until the server has greeted it (true) or the
    // session has ended or the time has passed.
    bool waitJoined(double seconds);
    // Serves the network for about that long, saying where it stands.
    void live(double seconds);

    PlayerState state;
    Client& client() { return *session; }

private:
    explicit Bot(std::unique_ptr<Client> session) : session(std::move(session)) {}
    std::unique_ptr<Client> session;
};
