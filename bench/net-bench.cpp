// Playing together on the loopback: a server of the demo scene and 32 bots
// that walk for 60 seconds (TESSARINE_NET_SECONDS changes it), each saying
// a line every three seconds. Measures the server's CPU time a tick (its
// thread's, everything it does over the ticks it made), the bytes a second
// the server sends each client, the delay from a bot's move to its figure
// on another bot (as the game draws it, FIGURE_DELAY behind), median and
// 99th percentile, and the chat lines lost. The ratios set them against
// what they are measured with: the tick's period, the positions' own bytes
// (the players' states alone, without a message around them) and
// FIGURE_DELAY.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <thread>

#include "bot.h"
#include "server.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int BOTS = 32;
constexpr double CHAT_EVERY = 3.0;
// A player's state in a snapshot: its id and where it is.
constexpr double STATE_BYTES = 2 + 12 + 4 + 4 + 1;

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(share * static_cast<double>(values.size())))];
}

void walkTogether(benchmark::State& state) {
    char const* given = std::getenv("TESSARINE_NET_SECONDS");
    double const seconds = given ? std::atof(given) : 60.0;
    for (auto _ : state) {
        std::ostringstream log;
        std::string problem;
        ServerOptions options;
        options.scenePath = "assets/scenes/des/demo_scene.txt";
        options.port = 0;
        options.localOnly = true;
        options.maxPlayers = BOTS;
        std::unique_ptr<Server> server = Server::start(options, log, problem);
        if (!server) return state.SkipWithError(problem.c_str());
        std::atomic<bool> stop{false};
        double serverSeconds = 0;
        std::thread serving([&] {
            double const before = threadSeconds();
            while (!stop) server->serve(0.05);
            serverSeconds = threadSeconds() - before;
        });

        std::vector<std::unique_ptr<Bot>> bots;
        for (int i = 0; i < BOTS; ++i) bots.push_back(Bot::join({"127.0.0.1", server->port()}, "bot", problem));
        auto const joining = Clock::now();
        while (secondsSince(joining) < 30 &&
               !std::all_of(bots.begin(), bots.end(), [](auto const& bot) { return bot->client().joined(); })) {
            for (auto& bot : bots) bot->client().service(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }

        // Bot 0 walks along x, the others in circles; bot 1 watches bot 0.
        PlayerId const walker = bots[0]->client().welcome().id;
        std::vector<std::pair<double, float>> moves;  // when bot 0 was where
        size_t reached = 0;
        std::vector<double> delays;
        long linesSaid = 0, linesHeard = 0;
        auto const start = Clock::now();
        for (double t = 0; t < seconds; t = secondsSince(start)) {
            for (int i = 0; i < BOTS; ++i) {
                Bot& bot = *bots[static_cast<size_t>(i)];
                float const angle = static_cast<float>(t * MOVE_SPEED / 5 + i);
                bot.state.position = i == 0 ? raylib::Vector3{static_cast<float>(t * MOVE_SPEED), 2, 0}
                                            : raylib::Vector3{5 * std::cos(angle) + i, 2, 5 * std::sin(angle)};
                bot.client().sendMove(bot.state);
                if (std::floor((t + i * 0.09) / CHAT_EVERY) != std::floor((t + i * 0.09 - 0.001) / CHAT_EVERY)) {
                    bot.client().sendChat("line");
                    ++linesSaid;
                }
                bot.client().service(0);
                for (News const& news : bot.client().takeNews()) linesHeard += news.kind == News::CHAT;
            }
            moves.push_back({t, bots[0]->state.position.x});
            for (Figure const& figure : bots[1]->client().figures()) {
                if (figure.id != walker) continue;
                while (reached < moves.size() && moves[reached].second <= figure.state.position.x) {
                    delays.push_back(t - moves[reached].first);
                    ++reached;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        // The lines still on their way come in.
        auto const draining = Clock::now();
        while (linesHeard < linesSaid * BOTS && secondsSince(draining) < 5) {
            for (auto& bot : bots) {
                bot->client().service(0);
                for (News const& news : bot->client().takeNews()) linesHeard += news.kind == News::CHAT;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        stop = true;
        serving.join();
        ServerCounts const counts = server->counts();
        // Over the whole time the bots were there, joining and draining too.
        double const together = secondsSince(joining);

        double const ticks = static_cast<double>(counts.ticks);
        double const bytesEach = static_cast<double>(counts.bytesSent) / together / BOTS;
        double const payload = (BOTS - 1) * STATE_BYTES * TICKS_PER_SECOND;
        state.counters["server_cpu_us_per_tick"] = 1e6 * serverSeconds / ticks;
        state.counters["tick_share"] = serverSeconds / ticks * TICKS_PER_SECOND;
        state.counters["bytes_per_s_per_client"] = bytesEach;
        state.counters["bytes_vs_positions"] = bytesEach / payload;
        state.counters["delay_median_ms"] = 1e3 * percentile(delays, 0.5);
        state.counters["delay_p99_ms"] = 1e3 * percentile(delays, 0.99);
        state.counters["delay_median_vs_figure_delay"] = percentile(delays, 0.5) / FIGURE_DELAY;
        state.counters["chat_lines_lost"] = static_cast<double>(linesSaid * BOTS - linesHeard);
        state.counters["corrections"] = static_cast<double>(counts.corrections);
        state.counters["joined"] = static_cast<double>(server->players());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("Together/32-bots", walkTogether)->Iterations(1)->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
