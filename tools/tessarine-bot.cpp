// A player without a window, for the tests and measures of a server:
//   tessarine-bot HOST[:PORT] [--name NAME] [--at X,Y,Z] [--circle R]
//                 [--greet TEXT] [--seconds S]
// It joins, says "joined as NAME" once greeted, and stands at the eye point
// X,Y,Z (or walks a circle of radius R around it at walking speed); it says
// TEXT to each player who joins after it. It runs until killed, the server
// is lost, or S seconds have passed.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "bot.h"
#include "player.h"

int main(int argc, char** argv) {
    std::string server, name = "bot", greeting;
    std::vector<float> at{0, 1.6f, 0};
    float radius = 0;
    double seconds = 0;
    CLI::App app("tessarine-bot: a player without a window, for a server's tests.", "tessarine-bot");
    app.add_option("SERVER", server, "HOST or HOST:PORT")->required();
    app.add_option("--name", name)->capture_default_str();
    app.add_option("--at", at, "the eye point it stands at")->expected(3)->delimiter(',');
    app.add_option("--circle", radius, "walk a circle of this radius around it");
    app.add_option("--greet", greeting, "said to each player who joins after it");
    app.add_option("--seconds", seconds, "how long it plays; 0 until killed");
    CLI11_PARSE(app, argc, argv);

    std::string problem;
    std::optional<ServerAddress> const address = parseServerAddress(server, problem);
    std::unique_ptr<Bot> bot = address ? Bot::join(*address, name, problem) : nullptr;
    if (!bot) {
        std::cerr << "tessarine-bot: " << problem << std::endl;
        return 1;
    }
    raylib::Vector3 const center{at[0], at[1], at[2]};
    bot->state.position = center;
    if (!bot->waitJoined(10)) {
        std::cerr << "tessarine-bot: " << bot->client().endedWhy() << std::endl;
        return 1;
    }
    std::cout << "joined as " << bot->client().name() << std::endl;
    auto const start = std::chrono::steady_clock::now();
    while (!bot->client().ended()) {
        double const t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > 0 && t > seconds) break;
        if (radius > 0) {
            double const angle = t * MOVE_SPEED / radius;
            bot->state.position = {center.x + radius * static_cast<float>(std::cos(angle)), center.y,
                                   center.z + radius * static_cast<float>(std::sin(angle))};
        }
        for (News const& news : bot->client().takeNews()) {
            if (news.kind == News::JOINED && !greeting.empty()) bot->client().sendChat(greeting);
        }
        bot->live(0.02);
    }
    if (bot->client().ended()) std::cerr << "tessarine-bot: " << bot->client().endedWhy() << std::endl;
    return bot->client().ended() ? 1 : 0;
}
