#pragma once

#include "game.h"

#include "gate.h"

#include <memory>
#include <mutex>
#include <string>

namespace httplib {
class Server;
}

namespace practice {

// The HTTP side of the practice game, on the loopback address only.
class PracticeServer
{
public:
    PracticeServer(Game& game, std::string truthFile = {}, RequestGate::Limits limits = {});
    ~PracticeServer();

    // Binds to 127.0.0.1:port (0 picks a free port); returns the port, or -1 when it cannot bind. Requests
    // come in through a gate that bounds their time and size (see RequestGate).
    int bind(int port);
    // Serves until stop(); call after bind().
    bool listen();
    void stop();

    // Writes the truth file, when one was asked for.
    void writeTruth();

private:
    void routes();

    Game& m_game;
    std::string m_truthFile;
    std::mutex m_truthMutex; // one writer of the truth file at a time
    std::unique_ptr<httplib::Server> m_server;
    RequestGate m_gate;
    int m_backendPort = -1;
};

// Text sent by a client (UTF-8 from most browsers, Windows-1251 from the game's own pages) as UTF-8.
std::string clientTextToUtf8(const std::string& bytes);

} // namespace practice
