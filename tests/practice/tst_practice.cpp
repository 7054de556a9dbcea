#include "game.h"
#include "pagecheck.h"
#include "pages.h"
#include "practicefixture.h"
#include "server.h"
#include "text/cp1251.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <atomic>
#include <deque>
#include <httplib.h>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace practice;
using namespace practice::test;
using namespace std::chrono_literals;

namespace {

QString fromPage(const std::string& bytes)
{
    return QString::fromStdString(veldor::cp1251::bytesOf(veldor::cp1251::toUtf8(bytes)));
}

// Steps from the start to every cell of level 0, through passages and doors alike.
std::vector<int> distances(const Labyrinth& lab)
{
    const int n = lab.size();
    std::vector<int> dist(n * n, -1);
    std::deque<Position> work{lab.start()};
    dist[(lab.start().y - 1) * n + lab.start().x - 1] = 0;
    while (!work.empty()) {
        const Position p = work.front();
        work.pop_front();
        for (Side s : {North, South, West, East}) {
            const Position q = Labyrinth::step(p, s);
            if (lab.at(0, p.x, p.y).side[s] && lab.contains(0, q.x, q.y) && dist[(q.y - 1) * n + q.x - 1] < 0) {
                dist[(q.y - 1) * n + q.x - 1] = dist[(p.y - 1) * n + p.x - 1] + 1;
                work.push_back(q);
            }
        }
    }
    return dist;
}

int connectTo(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
        return fd;
    ::close(fd);
    return -1;
}

std::string cookieOf(const httplib::Result& r)
{
    const std::string set = r->get_header_value("Set-Cookie");
    return set.substr(0, set.find(';'));
}

} // namespace

class TestPractice : public QObject
{
    Q_OBJECT

private slots:
    void generationIsDeterministic()
    {
        const auto a = Labyrinth::generate(42, 40, 4).truthJson("\"players\":[]");
        const auto b = Labyrinth::generate(42, 40, 4).truthJson("\"players\":[]");
        const auto c = Labyrinth::generate(43, 40, 4).truthJson("\"players\":[]");
        QCOMPARE(a, b);
        QVERIFY(a != c);
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Labyrinth::generate(1, 31, 3));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Labyrinth::generate(1, 30, 18));
    }

    void labyrinthsAreWellFormed_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("levels");
        QTest::newRow("30") << 1 << 30 << 3;
        QTest::newRow("40") << 7 << 40 << 5;
        QTest::newRow("100") << 99 << 100 << 2;
        QTest::newRow("one level") << 5 << 30 << 1;
    }
    void labyrinthsAreWellFormed()
    {
        QFETCH(int, seed);
        QFETCH(int, size);
        QFETCH(int, levels);
        const Labyrinth lab = Labyrinth::generate(seed, size, levels);
        int exits = 0;
        for (int level = 0; level < levels; ++level) {
            int downs = 0;
            for (int x = 1; x <= size; ++x)
                for (int y = 1; y <= size; ++y) {
                    const Cell& c = lab.at(level, x, y);
                    for (Side s : {North, South, West, East}) {
                        const Position q = Labyrinth::step({level, x, y}, s);
                        if (!lab.contains(level, q.x, q.y))
                            QCOMPARE(int(c.side[s]), 0); // closed at the border
                        else
                            QCOMPARE(c.side[s], lab.at(level, q.x, q.y).side[Labyrinth::opposite(s)]);
                        QVERIFY(c.side[s] <= 8);
                    }
                    if (c.object == 'd') {
                        ++downs;
                        QVERIFY(level + 1 < levels);
                        QCOMPARE(lab.at(level + 1, x, y).object, 'u');
                    }
                    if (c.object == 'u')
                        QCOMPARE(lab.at(level - 1, x, y).object, 'd');
                    exits += c.object == 'E';
                }
            QCOMPARE(downs, level + 1 < levels ? 1 : 0);
        }
        QVERIFY(exits >= 1);
        QCOMPARE(lab.at(0, lab.start().x, lab.start().y).object, 'n');
        // Every cell of level 0 can be reached.
        for (int d : distances(lab))
            QVERIFY(d >= 0);
    }

    void everyKindOccursNearTheStart()
    {
        for (int seed : {1, 2, 3}) {
            const Labyrinth lab = Labyrinth::generate(seed, 30, 3);
            const auto dist = distances(lab);
            std::set<std::string> near;
            for (int x = 1; x <= 30; ++x)
                for (int y = 1; y <= 30; ++y) {
                    if (dist[(y - 1) * 30 + x - 1] > 15)
                        continue;
                    const Cell& c = lab.at(0, x, y);
                    near.insert(std::string(1, c.object));
                    if (!c.chestImage.empty())
                        near.insert(c.chestImage);
                    for (auto code : c.side)
                        near.insert("side" + std::to_string(code));
                }
            for (const char* kind : {"L",
                                     "F",
                                     "d",
                                     "E",
                                     "M",
                                     "r",
                                     "1",
                                     "2",
                                     "3",
                                     "4",
                                     "5",
                                     "6",
                                     "unlock_10_s.gif",
                                     "unlock_8_s.gif",
                                     "side1",
                                     "side2",
                                     "side3",
                                     "side4",
                                     "side5",
                                     "side6",
                                     "side7",
                                     "side8"})
                QVERIFY2(near.count(kind), kind);
        }
    }

    // Every cell's page shows exactly what the labyrinth holds there.
    void pagesCarryTheMarkersOfTheirCell()
    {
        const Labyrinth lab = Labyrinth::generate(3, 40, 2);
        for (int level = 0; level < 2; ++level)
            for (int x = 1; x <= 40; ++x)
                for (int y = 1; y <= 40; ++y) {
                    Player p;
                    p.login = "hero";
                    p.pos = {level, x, y};
                    p.fatigue = 57;
                    const SeenCell seen = readGamePage(QString::fromStdString(pages::gameFrame(lab, p, "")));
                    const Cell& c = lab.at(level, x, y);
                    QVERIFY(seen.ok);
                    QCOMPARE(seen.level, level);
                    QCOMPARE(seen.x, x);
                    QCOMPARE(seen.y, y);
                    QCOMPARE(seen.fatigue, 57);
                    for (int s = 0; s < 4; ++s)
                        QCOMPARE(seen.side[s], int(c.side[s]));
                    QCOMPARE(seen.object, c.object);
                    QCOMPARE(seen.chest8, c.chestImage == "unlock_8_s.gif");
                }
    }

    void movesObeyWallsFatigueAndCombat()
    {
        GameRules rules;
        rules.startFatigue = 7;
        rules.minFatigueToMove = 5;
        rules.recoveryStep = 2s;
        rules.combatLength = 3s;
        Game game(Labyrinth::generate(1, 30, 3), rules);
        const auto t0 = Clock::now();
        const std::string token = *game.login("hero", "pw", t0);
        QCOMPARE(game.player(token, t0)->pos, (Position{0, 2, 2}));
        // The start has no way north in the showcase row's first cell only if the labyrinth says so.
        const Cell& start = game.labyrinth().at(0, 2, 2);
        if (start.side[North] == 0) {
            QVERIFY(!game.move(token, Move::North, t0));
            QCOMPARE(game.takeMessage(token), std::string("Там стена."));
            QVERIFY(game.takeMessage(token).empty());
        }
        QVERIFY(!game.move(token, Move::Down, t0)); // no way down here
        QVERIFY(game.move(token, Move::East, t0));
        QCOMPARE(game.player(token, t0)->fatigue, 6);
        QVERIFY(game.move(token, Move::West, t0));
        QCOMPARE(game.player(token, t0)->fatigue, 5);
        QVERIFY(game.move(token, Move::East, t0));
        QCOMPARE(game.player(token, t0)->fatigue, 4);
        QVERIFY(!game.move(token, Move::East, t0)); // too tired
        QCOMPARE(game.player(token, t0)->pos, (Position{0, 3, 2}));
        QCOMPARE(game.player(token, t0 + 1s)->fatigue, 4);
        QCOMPARE(game.player(token, t0 + 2s)->fatigue, 5); // rested
        auto t = t0 + 2s;
        // Walk the showcase row to the monster at x 14: a combat starts and holds every move.
        game.player(token, t + 200s);
        t += 200s;
        for (int x = 4; x <= 14; ++x)
            QVERIFY(game.move(token, Move::East, t));
        QVERIFY(game.player(token, t)->combatUntil.has_value());
        QVERIFY(!game.move(token, Move::East, t + 1s));
        QVERIFY(!game.player(token, t + 3s)->combatUntil.has_value()); // over by itself
        QVERIFY(game.move(token, Move::East, t + 3s));                 // onto the way down
        QVERIFY(game.move(token, Move::Down, t + 3s));
        QCOMPARE(game.player(token, t + 3s)->pos, (Position{1, 15, 2}));
        QVERIFY(!game.move(token, Move::Down, t + 3s));
        QVERIFY(game.move(token, Move::Up, t + 3s));
        QCOMPARE(game.player(token, t + 3s)->pos, (Position{0, 15, 2}));
        QVERIFY(game.move(token, Move::West, t + 4s)); // back onto the monster: another combat
        QVERIFY(game.player(token, t + 4s)->combatUntil.has_value());
        game.endCombat(token);
        QVERIFY(!game.player(token, t + 4s)->combatUntil.has_value());
    }

    void loginAndSessionRules()
    {
        GameRules rules;
        rules.password = "secret";
        Game game(Labyrinth::generate(1, 30, 2), rules);
        const auto now = Clock::now();
        QVERIFY(!game.login("", "secret", now));
        QVERIFY(!game.login("hero", "", now));
        QVERIFY(!game.login("hero", "wrong", now));
        const auto a = game.login("hero", "secret", now);
        const auto b = game.login("hero", "secret", now);
        QVERIFY(a && b && *a != *b);
        QVERIFY(!game.player("not-a-session", now));
        QVERIFY(!game.move("not-a-session", Move::East, now));
    }

    void httpPagesAndBadInput()
    {
        RunningServer s;
        auto c = s.client();
        auto r = c.Get("/login.php");
        QVERIFY(r && r->status == 200);
        QVERIFY(r->get_header_value("Content-Type").find("windows-1251") != std::string::npos);
        QVERIFY(fromPage(r->body).contains(QStringLiteral("name=\"password\"")));

        r = c.Post("/login.php", "login=hero&password=", "application/x-www-form-urlencoded");
        QCOMPARE(r->status, 403);
        QVERIFY(fromPage(r->body).contains(QStringLiteral("Введите логин и пароль.")));
        QVERIFY(fromPage(r->body).contains(QStringLiteral("name=\"login\"")));
        QVERIFY(r->get_header_value("Set-Cookie").empty());

        r = c.Post("/move.php", "dir=2", "application/x-www-form-urlencoded");
        QCOMPARE(r->status, 403);
        QVERIFY(fromPage(r->body).contains(QStringLiteral("name=\"password\"")));
        r = c.Get("/game.php");
        QVERIFY(fromPage(r->body).contains(QStringLiteral("Сначала войдите в игру.")));

        r = c.Post("/login.php", "login=%D0%93%D0%B5%D1%80%D0%BE%D0%B9&password=pw",
                   "application/x-www-form-urlencoded");
        QCOMPARE(r->status, 200);
        const std::string cookie = cookieOf(r);
        QVERIFY(cookie.rfind("sid=", 0) == 0);
        const QString frameset = fromPage(r->body);
        for (const char* frame : {"no_combat", "chout", "chinp", "show_info"})
            QVERIFY2(frameset.contains(QStringLiteral("name=\"%1\"").arg(QLatin1String(frame))), frame);
        const httplib::Headers auth = {{"Cookie", cookie}};
        r = c.Get("/info.php", auth);
        QVERIFY(fromPage(r->body).contains(QStringLiteral("Герой")));
        r = c.Post("/move.php", auth, "dir=9", "application/x-www-form-urlencoded");
        QCOMPARE(r->status, 400);

        QCOMPARE(c.Get("/nothing/here")->status, 404);
        QCOMPARE(c.Get("/img/unknown.gif")->status, 404);
        QCOMPARE(c.Get("/img/go_n_s.gif")->status, 200);
        QVERIFY(c.Get("/chout.php")->status == 200);

        r = c.Get("/cgi/pl_info.php?login=%3Cb%3EBad%20%D0%AF");
        const QString info = fromPage(r->body);
        QVERIFY(info.contains(QStringLiteral("&lt;b&gt;Bad Я")));
        QVERIFY(!info.contains(QStringLiteral("<b>Bad")));

        // A request that is not HTTP gets 400, and the server keeps serving.
        httplib::Client raw("127.0.0.1", s.port);
        {
            int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(static_cast<uint16_t>(s.port));
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            const char junk[] = "\x01\x02 NOT HTTP AT ALL\r\n\r\n";
            QVERIFY(::send(fd, junk, sizeof junk - 1, 0) > 0);
            char buf[256] = {};
            const ssize_t n = ::recv(fd, buf, sizeof buf - 1, 0);
            ::close(fd);
            QVERIFY(n > 0);
            QVERIFY(QByteArray(buf).contains(" 400 "));
        }
        QVERIFY(raw.Get("/login.php")->status == 200);
    }

    // A walk of 60 steps over HTTP: at every step the page and the truth file name the same cell, sides and
    // object, through doors, a combat and a way down and back up.
    void truthAgreesWithThePagesWhileWalking()
    {
        GameRules rules;
        rules.combatLength = 60s; // ended by the link, as a player would
        RunningServer s(rules);
        auto c = s.client();
        auto r = c.Post("/login.php", "login=walker&password=pw", "application/x-www-form-urlencoded");
        const httplib::Headers auth = {{"Cookie", cookieOf(r)}};
        std::uint64_t rnd = 12345;
        int steps = 0;
        int combats = 0;
        std::set<int> levelsSeen;
        while (steps < 60) {
            r = c.Get("/game.php", auth);
            QVERIFY(r && r->status == 200);
            const SeenCell seen = readGamePage(fromPage(r->body));
            if (seen.combat) {
                ++combats;
                QCOMPARE(c.Post("/endcombat.php", auth, "", "application/x-www-form-urlencoded")->status, 303);
                continue;
            }
            QVERIFY(seen.ok);
            const Truth truth(c.Get("/truth.json")->body);
            const QJsonObject me = truth.player();
            QCOMPARE(me[QStringLiteral("level")].toInt(), seen.level);
            QCOMPARE(me[QStringLiteral("x")].toInt(), seen.x);
            QCOMPARE(me[QStringLiteral("y")].toInt(), seen.y);
            const std::string cell = truth.cell(seen.level, seen.x, seen.y);
            for (int k = 0; k < 4; ++k)
                QCOMPARE(cell[k] - '0', seen.side[k]);
            QCOMPARE(cell[4], seen.object);
            levelsSeen.insert(seen.level);

            // East along the showcase row first (doors, things, the monster, the way down), then at random.
            int dir;
            if (steps < 13)
                dir = 2;
            else if (steps == 13)
                dir = 5;
            else if (seen.object == 'u' && steps > 30)
                dir = 6;
            else {
                const int moves[] = {3, 4, 1, 2};
                std::vector<int> open;
                for (int k = 0; k < 4; ++k)
                    if (seen.side[k] > 0)
                        open.push_back(moves[k]);
                rnd = rnd * 6364136223846793005ull + 1442695040888963407ull;
                dir = open[(rnd >> 33) % open.size()];
            }
            r = c.Post("/move.php", auth, "dir=" + std::to_string(dir), "application/x-www-form-urlencoded");
            QCOMPARE(r->status, 303);
            ++steps;
        }
        QVERIFY(combats >= 1);
        QVERIFY(levelsSeen.count(1));
    }

    void sessionsExpireWhenUnused()
    {
        GameRules rules;
        rules.sessionIdle = 60min;
        rules.maxSessions = 3;
        Game game(Labyrinth::generate(11, 30, 1), rules);
        const auto t0 = Clock::now();
        const auto token = game.login("hero", "pw", t0);
        QVERIFY(token);
        QVERIFY(game.player(*token, t0 + 50min)); // in use: kept alive
        QVERIFY(game.player(*token, t0 + 100min));
        QVERIFY(!game.player(*token, t0 + 161min));
        QVERIFY(!game.move(*token, Move::East, t0 + 162min));
        // No more sessions than allowed: the least recently used one goes.
        const auto a = game.login("a", "pw", t0);
        const auto b = game.login("b", "pw", t0 + 1min);
        const auto c = game.login("c", "pw", t0 + 2min);
        QVERIFY(game.player(*a, t0 + 3min));
        const auto d = game.login("d", "pw", t0 + 4min);
        QVERIFY(game.player(*a, t0 + 5min) && game.player(*c, t0 + 5min) && game.player(*d, t0 + 5min));
        QVERIFY(!game.player(*b, t0 + 5min));
    }

    // Connections that idle, trickle their headers or send endless ones cost the server nothing lasting.
    void idleAndSlowClientsDoNotBlockTheServer()
    {
        RequestGate::Limits limits;
        limits.requestTime = 1s;
        RunningServer server({}, 11, 3, 0, limits);
        auto connectRaw = [&] { return connectTo(server.port); };
        std::vector<int> idle;
        for (int i = 0; i < 20; ++i)
            idle.push_back(connectRaw());
        QVERIFY(std::all_of(idle.begin(), idle.end(), [](int fd) { return fd >= 0; }));
        httplib::Client client("127.0.0.1", server.port);
        client.set_connection_timeout(3);
        client.set_read_timeout(3);
        const auto page = client.Get("/login.php");
        QVERIFY(page);
        QCOMPARE(page->status, 200);
        for (int fd : idle)
            ::close(fd);

        // One header line every 100 ms: the head never completes in time and the connection is cut.
        const int slow = connectRaw();
        QVERIFY(slow >= 0);
        const std::string start = "GET /login.php HTTP/1.1\r\nHost: x\r\n";
        QVERIFY(::send(slow, start.data(), start.size(), MSG_NOSIGNAL) > 0);
        bool cut = false;
        for (int i = 0; i < 25 && !cut; ++i) {
            std::this_thread::sleep_for(100ms);
            char buf[256];
            const ssize_t got = ::recv(slow, buf, sizeof buf, MSG_DONTWAIT);
            cut = got >= 0 || ::send(slow, "X-Slow: 1\r\n", 11, MSG_NOSIGNAL) < 0;
        }
        ::close(slow);
        QVERIFY2(cut, "a trickling client kept its connection for 2.5 s");

        // Thousands of headers are refused without being read into memory.
        const int endless = connectRaw();
        std::string head = "GET /login.php HTTP/1.1\r\nHost: x\r\n";
        for (int i = 0; i < 5000; ++i)
            head += "X-Filler-" + std::to_string(i) + ": yes\r\n";
        head += "\r\n";
        ::send(endless, head.data(), head.size(), MSG_NOSIGNAL);
        std::string answer;
        char buf[512];
        for (ssize_t n; (n = ::recv(endless, buf, sizeof buf, 0)) > 0;)
            answer.append(buf, static_cast<std::size_t>(n));
        ::close(endless);
        QVERIFY2(answer.rfind("HTTP/1.1 431", 0) == 0, answer.substr(0, 40).c_str());
    }

    // Junk is answered as soon as it is seen, not when the time for a request head runs out.
    void malformedRequestsAreAnsweredAtOnce_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("status");
        QTest::newRow("binary junk") << QByteArray("\x16\x03\x01\x02\x00\x01", 6) << QByteArray("400");
        QTest::newRow("HTTP/9.9") << QByteArray("GET /login.php HTTP/9.9\r\n") << QByteArray("505");
        QTest::newRow("chunked body") << QByteArray("POST /move.php HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n")
                                      << QByteArray("501");
        QTest::newRow("two lengths") << QByteArray(
                                            "POST /move.php HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n")
                                     << QByteArray("400");
    }
    void malformedRequestsAreAnsweredAtOnce()
    {
        QFETCH(QByteArray, request);
        RunningServer server;
        const int fd = connectTo(server.port);
        QVERIFY(fd >= 0);
        const timeval wait{2, 0}; // well inside the 5 s a head may take
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        QVERIFY(::send(fd, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) > 0);
        char answer[64] = {};
        const ssize_t got = ::recv(fd, answer, sizeof answer - 1, 0);
        ::close(fd);
        QFETCH(QByteArray, status);
        QVERIFY2(got > 0 && QByteArray(answer).startsWith("HTTP/1.1 " + status), answer);
    }

    // Two hundred clients that never finish their heads do not keep a real one out.
    void aCrowdOfSlowClientsGivesWay()
    {
        RunningServer server;
        std::vector<int> crowd;
        for (int i = 0; i < 200; ++i) {
            crowd.push_back(connectTo(server.port));
            ::send(crowd.back(), "GET /login.php HTTP/1.1\r\n", 25, MSG_NOSIGNAL);
        }
        httplib::Client client("127.0.0.1", server.port);
        client.set_connection_timeout(3);
        client.set_read_timeout(3);
        const auto page = client.Get("/login.php");
        for (const int fd : crowd)
            ::close(fd);
        QVERIFY(page);
        QCOMPARE(page->status, 200);
    }

    // Logins from many threads: the truth file is always whole, written from one place.
    void theTruthFileStaysWholeUnderConcurrentLogins()
    {
        QTemporaryDir dir;
        const std::string truth = dir.filePath(QStringLiteral("truth.json")).toStdString();
        Game game(Labyrinth::generate(11, 30, 1), GameRules{});
        PracticeServer server(game, truth);
        const int port = server.bind(0);
        QVERIFY(port > 0);
        std::thread serving([&] { server.listen(); });
        std::vector<std::thread> clients;
        std::atomic<int> ok{0};
        for (int t = 0; t < 6; ++t) {
            clients.emplace_back([&, t] {
                httplib::Client c("127.0.0.1", port);
                for (int i = 0; i < 15; ++i) {
                    const auto r = c.Post("/login.php", "login=p" + std::to_string(t) + "&password=pw",
                                          "application/x-www-form-urlencoded");
                    if (r && r->status == 200)
                        ++ok;
                }
            });
        }
        for (auto& c : clients)
            c.join();
        server.stop();
        serving.join();
        QCOMPARE(ok.load(), 90);
        QFile file(QString::fromStdString(truth));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonParseError error{};
        QJsonDocument::fromJson(file.readAll(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left
    }
};

QTEST_APPLESS_MAIN(TestPractice)
#include "tst_practice.moc"
