#include <csignal>
#include <filesystem>
#include <iostream>

#include <CLI/CLI.hpp>

#include "asset-folder.h"
#include "password-file.h"
#include "raylib-log.h"
#include "server.h"

namespace {

volatile std::sig_atomic_t stopAsked = 0, reloadAsked = 0;

void onStop(int) {
    stopAsked = 1;
}
void onReload(int) {
    reloadAsked = 1;
}

int failure(std::string const& what, int status = 1) {
    std::cerr << "tessarine-server: " << what << std::endl;
    return status;
}

}  // namespace

int serverMain(int argc, char** argv) {
    ServerOptions options;
    std::string passwordFile, address = "any";
    CLI::App app("tessarine-server: serves a scene to players who join it with tessarine --join.", "tessarine-server");
    app.add_option("SCENE", options.scenePath, "the scene file to serve")->required();
    app.add_option("--port", options.port, "the UDP port to listen on")->capture_default_str();
    app.add_option("--max-players", options.maxPlayers, "how many may play at once")
        ->check(CLI::Range(size_t{1}, MAX_PLAYERS))
        ->capture_default_str();
    app.add_option("--password-file", passwordFile, "let in only those who give the first line of FILE")
        ->type_name("FILE");
    app.add_option("--address", address, "listen on every address of the machine, or on 127.0.0.1 alone")
        ->check(CLI::IsMember({"any", "local"}))
        ->capture_default_str();
    try {
        app.parse(argc, argv);
    } catch (CLI::CallForHelp const&) {
        std::cout << app.help();
        return 0;
    } catch (CLI::ParseError const& e) {
        return failure(std::string(e.what()) + " (tessarine-server --help says more)", 2);
    }
    routeRaylibLog(false);
    options.localOnly = address == "local";
    std::string problem;
    if (!passwordFile.empty()) {
        std::optional<std::string> const password = readPasswordFile(passwordFile, problem);
        if (!password) return failure(problem);
        options.password = *password;
    }
    std::filesystem::path const assets = assetFolder();
    if (assets.empty()) return failure("cannot find its assets: neither ./assets nor ../share/tessarine beside it");
    options.assetRoot = assetRootOf(assets);
    options.scenePath = std::filesystem::absolute(options.scenePath).string();
    std::unique_ptr<Server> server = Server::start(options, std::cout, problem);
    if (!server) {
        // The scene's problems, one a line, before the one that stops it.
        size_t const last = problem.rfind('\n');
        if (last != std::string::npos) std::cerr << problem.substr(0, last + 1);
        return failure(last == std::string::npos ? problem : problem.substr(last + 1));
    }
    std::signal(SIGINT, onStop);
    std::signal(SIGTERM, onStop);
    std::signal(SIGHUP, onReload);
    while (!stopAsked) {
        server->serve(0.1);
        if (reloadAsked || server->sceneSaved()) {
            reloadAsked = 0;
            server->reload();
        }
    }
    std::cout << "Server stopped" << std::endl;
    return 0;
}
