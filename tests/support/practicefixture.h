#pragma once

// A practice game server running inside the test process on a free loopback port.
#include "game.h"
#include "server.h"

#include <chrono>
#include <httplib.h>
#include <thread>

namespace practice::test {

class RunningServer
{
public:
    explicit RunningServer(GameRules rules = {}, std::uint64_t seed = 11, int levels = 3)
        : game(Labyrinth::generate(seed, 30, levels), std::move(rules)), server(game)
    {
        port = server.bind(0);
        thread = std::thread([this] { server.listen(); });
        httplib::Client probe("127.0.0.1", port);
        for (int i = 0; i < 200 && !probe.Get("/login.php"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~RunningServer()
    {
        server.stop();
        thread.join();
    }
    RunningServer(const RunningServer&) = delete;
    RunningServer& operator=(const RunningServer&) = delete;

    httplib::Client client() const { return httplib::Client("127.0.0.1", port); }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port); }

    Game game;
    PracticeServer server;
    int port = -1;
    std::thread thread;
};

} // namespace practice::test
