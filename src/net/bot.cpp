#include "bot.h"

#include <chrono>

std::unique_ptr<Bot> Bot::join(ServerAddress const& address, std::string const& name, std::string& problem,
                               std::string const& password) {
    std::unique_ptr<Client> session = Client::join(address, Hello{.name = name, .password = password}, "", problem);
    if (!session) return nullptr;
    return std::unique_ptr<Bot>(new Bot(std::move(session)));
}

bool Bot::waitJoined(double seconds) {
    auto const end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!session->joined() && !session->ended() && std::chrono::steady_clock::now() < end) session->service(0.01);
    return session->joined();
}

void Bot::live(double seconds) {
    auto const end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (std::optional<raylib::Vector3> const back = session->takeCorrection()) state.position = *back;
        session->sendMove(state);
        session->service(0.005);
    } while (std::chrono::steady_clock::now() < end);
}
