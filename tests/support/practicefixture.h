#pragma once

// A practice game server running inside the test process on a free loopback port.
#include "game.h"
#include "server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <chrono>
#include <httplib.h>
#include <thread>

namespace practice::test {

class RunningServer
{
public:
    // On `fixedPort` when given (a server that comes back where it was), otherwise on a free port.
    explicit RunningServer(GameRules rules = {}, std::uint64_t seed = 11, int levels = 3, int fixedPort = 0,
                           RequestGate::Limits limits = {})
        : RunningServer(Labyrinth::generate(seed, 30, levels), std::move(rules), fixedPort, limits)
    {}
    RunningServer(Labyrinth labyrinth, GameRules rules, int fixedPort = 0, RequestGate::Limits limits = {})
        : game(std::move(labyrinth), std::move(rules)), server(game, {}, limits)
    {
        port = server.bind(fixedPort);
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

// The server's truth file: the labyrinth in the program's own vocabulary and the players' positions.
class Truth
{
public:
    explicit Truth(const RunningServer& server) : Truth(server.client().Get("/truth.json")->body) {}
    explicit Truth(const std::string& json) : m_json(QJsonDocument::fromJson(QByteArray::fromStdString(json)).object())
    {}
    // Five characters: the side codes north, south, west, east, then the object code.
    std::string cell(int level, int x, int y) const
    {
        const QJsonArray rows =
            m_json[QStringLiteral("levels")].toArray()[level].toObject()[QStringLiteral("rows")].toArray();
        return rows[y - 1].toString().split(QLatin1Char(' '))[x - 1].toStdString();
    }
    // The player who moved last.
    QJsonObject player() const { return m_json[QStringLiteral("player")].toObject(); }

private:
    QJsonObject m_json;
};

} // namespace practice::test
