#include "server.h"

#include "pages.h"
#include "text/cp1251.h"

#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <regex>
#include <thread>

namespace practice {
namespace {

const char* kHtml = "text/html; charset=windows-1251";

void sendPage(httplib::Response& res, const std::string& utf8, int status = 200)
{
    res.status = status;
    res.set_content(veldor::cp1251::fromUtf8(veldor::cp1251::asUtf8(utf8)), kHtml);
    res.set_header("Cache-Control", "no-store");
}

std::string sessionToken(const httplib::Request& req)
{
    const std::string cookies = req.get_header_value("Cookie");
    static const std::regex sid(R"((?:^|;\s*)sid=([0-9a-f]{32})(?:;|$))");
    std::smatch m;
    if (std::regex_search(cookies, m, sid))
        return m[1];
    return {};
}

bool validUtf8(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || i + extra >= s.size() + (extra == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

std::string clientTextToUtf8(const std::string& bytes)
{
    return validUtf8(bytes) ? bytes : veldor::cp1251::bytesOf(veldor::cp1251::toUtf8(bytes));
}

PracticeServer::PracticeServer(Game& game, std::string truthFile, RequestGate::Limits limits)
    : m_game(game), m_truthFile(std::move(truthFile)), m_server(std::make_unique<httplib::Server>()), m_gate(limits)
{
    m_server->set_payload_max_length(64 * 1024);
    m_server->set_read_timeout(5, 0);
    m_server->set_write_timeout(5, 0);
    m_server->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        if (req.path.rfind("/img/", 0) != 0) // pages late, pictures as from a nearby cache
            std::this_thread::sleep_for(m_game.rules().answerDelay);
        return httplib::Server::HandlerResponse::Unhandled;
    });
    routes();
}

PracticeServer::~PracticeServer() = default;

int PracticeServer::bind(int port)
{
    m_backendPort = m_server->bind_to_any_port("127.0.0.1");
    if (m_backendPort < 0)
        return -1;
    return m_gate.bind(port);
}

bool PracticeServer::listen()
{
    std::thread backend([this] { m_server->listen_after_bind(); });
    m_gate.run(m_backendPort);
    m_server->stop();
    backend.join();
    return true;
}

void PracticeServer::stop()
{
    m_gate.stop();
}

void PracticeServer::writeTruth()
{
    if (m_truthFile.empty())
        return;
    std::lock_guard lock(m_truthMutex);
    const std::string json = m_game.labyrinth().truthJson(m_game.playersJson());
    const std::string tmp = m_truthFile + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << json;
        if (!out)
            return;
    }
    std::rename(tmp.c_str(), m_truthFile.c_str());
}

void PracticeServer::routes()
{
    httplib::Server& s = *m_server;

    s.Get("/", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/login.php"); });

    s.Get("/login.php", [](const httplib::Request&, httplib::Response& res) { sendPage(res, pages::loginForm("")); });

    s.Post("/login.php", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string login = clientTextToUtf8(req.get_param_value("login"));
        const std::string password = req.get_param_value("password");
        const auto token = m_game.login(login, password, Clock::now());
        if (!token) {
            sendPage(
                res,
                pages::loginForm(login.empty() || password.empty() ? "Введите логин и пароль." : "Неверный пароль."),
                403);
            return;
        }
        res.set_header("Set-Cookie", "sid=" + *token + "; Path=/; HttpOnly; SameSite=Lax");
        sendPage(res, pages::frameset());
        writeTruth();
    });

    s.Get("/game.php", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string token = sessionToken(req);
        const auto player = m_game.player(token, Clock::now());
        if (!player) {
            sendPage(res, pages::loginForm("Сначала войдите в игру."));
            return;
        }
        if (player->combatUntil)
            sendPage(res, pages::combatFrame(*player));
        else
            sendPage(res, pages::gameFrame(m_game.labyrinth(), *player, m_game.takeMessage(token),
                                           m_game.rules().pagePadding, m_game.rules().rewriteMoves));
    });

    s.Post("/move.php", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string token = sessionToken(req);
        if (!m_game.player(token, Clock::now())) {
            sendPage(res, pages::loginForm("Сначала войдите в игру."), 403);
            return;
        }
        const std::string dir = req.get_param_value("dir");
        if (dir.size() != 1 || dir[0] < '1' || dir[0] > '6') {
            sendPage(res, pages::notFound(), 400);
            return;
        }
        if (m_game.move(token, static_cast<Move>(dir[0] - '0'), Clock::now()))
            writeTruth();
        res.set_redirect("/game.php", 303);
    });

    s.Post("/endcombat.php", [this](const httplib::Request& req, httplib::Response& res) {
        m_game.endCombat(sessionToken(req));
        res.set_redirect("/game.php", 303);
    });

    s.Get("/army.php", [](const httplib::Request&, httplib::Response& res) { sendPage(res, pages::army()); });
    s.Get("/chout.php", [](const httplib::Request&, httplib::Response& res) { sendPage(res, pages::chatOutput()); });
    s.Get("/chinp.php", [](const httplib::Request&, httplib::Response& res) { sendPage(res, pages::chatInput()); });
    s.Get("/info.php", [this](const httplib::Request& req, httplib::Response& res) {
        const auto player = m_game.player(sessionToken(req), Clock::now());
        sendPage(res, player ? pages::infoPanel(*player) : pages::loginForm("Сначала войдите в игру."));
    });

    s.Get("/cgi/pl_info.php", [](const httplib::Request& req, httplib::Response& res) {
        sendPage(res, pages::playerInfo(clientTextToUtf8(req.get_param_value("login"))));
    });

    s.Get("/truth.json", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(m_game.labyrinth().truthJson(m_game.playersJson()), "application/json");
        res.set_header("Cache-Control", "no-store");
    });

    s.Get(R"(/img/([a-z0-9_]{1,32}\.(gif|jpg)))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string svg = pages::image(req.matches[1]);
        if (svg.empty()) {
            sendPage(res, pages::notFound(), 404);
            return;
        }
        res.set_content(svg, "image/svg+xml");
    });

    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.status == 404)
            sendPage(res, pages::notFound(), 404);
    });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        sendPage(res, pages::notFound(), 500);
    });
}

} // namespace practice
