// The practice game server: a generated labyrinth served the way the game serves its pages.
#include "server.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

namespace {

void usage()
{
    std::fprintf(stderr, "usage: veldor-practice-server [--port N] [--seed N] [--size 30|40|100] [--levels N]\n"
                         "         [--truth FILE] [--password TEXT] [--combat-seconds N] [--fatigue N] [--pad BYTES]\n"
                         "         [--start X,Y] [--session-seconds N] [--answer-ms N] [--rewrite]\n"
                         "  --port 0 picks a free port and prints it on the first line of standard output.\n");
}

bool number(const char* text, long long low, long long high, long long& out)
{
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return false;
    out = v;
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    long long port = PRACTICE_DEFAULT_PORT;
    long long seed = 1;
    long long size = 30;
    long long levels = 3;
    long long combatSeconds = 3;
    long long fatigue = 100;
    long long pad = 0;
    std::string truth;
    practice::GameRules rules;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok = value != nullptr;
        if (arg == "--port" && ok)
            ok = number(value, 0, 65535, port);
        else if (arg == "--seed" && ok)
            ok = number(value, 0, (1LL << 62), seed);
        else if (arg == "--size" && ok)
            ok = number(value, 30, 100, size) && (size == 30 || size == 40 || size == 100);
        else if (arg == "--levels" && ok)
            ok = number(value, 1, 17, levels);
        else if (arg == "--combat-seconds" && ok)
            ok = number(value, 0, 3600, combatSeconds);
        else if (arg == "--fatigue" && ok)
            ok = number(value, 0, 100, fatigue);
        else if (arg == "--pad" && ok)
            ok = number(value, 0, 1000000, pad);
        else if (arg == "--truth" && ok)
            truth = value;
        else if (arg == "--answer-ms" && ok) {
            long long ms = 0;
            ok = number(value, 0, 10000, ms);
            rules.answerDelay = std::chrono::milliseconds(ms);
        } else if (arg == "--session-seconds" && ok) {
            long long seconds = 0;
            ok = number(value, 1, 86400, seconds);
            rules.sessionIdle = std::chrono::seconds(seconds);
        } else if (arg == "--password" && ok)
            rules.password = value;
        else if (arg == "--start" && ok) {
            // A start cell of level 0 other than the showcase, e.g. for two players who map different parts.
            long long x = 0;
            long long y = 0;
            const std::string v = value;
            const auto comma = v.find(',');
            ok = comma != std::string::npos && number(v.substr(0, comma).c_str(), 1, 100, x) &&
                 number(v.substr(comma + 1).c_str(), 1, 100, y);
            rules.start = practice::Position{0, static_cast<int>(x), static_cast<int>(y)};
        } else if (arg == "--rewrite") {
            rules.rewriteMoves = true;
            ok = true;
            --i; // takes no value
        } else if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "practice-server: bad option %s\n", arg.c_str());
            usage();
            return 2;
        }
        ++i;
    }
    rules.combatLength = std::chrono::seconds(combatSeconds);
    rules.startFatigue = static_cast<int>(fatigue);
    rules.pagePadding = static_cast<int>(pad);
    practice::Game game(practice::Labyrinth::generate(static_cast<std::uint64_t>(seed), static_cast<int>(size),
                                                      static_cast<int>(levels)),
                        rules);
    practice::PracticeServer server(game, truth);
    const int bound = server.bind(static_cast<int>(port));
    if (bound < 0) {
        std::fprintf(stderr, "veldor-practice-server: cannot listen on 127.0.0.1:%lld\n", port);
        return 1;
    }
    std::printf("%d\n", bound);
    std::fflush(stdout);
    std::fprintf(stderr, "practice-server: http://127.0.0.1:%d/login.php (seed %lld, size %lld, %lld levels)\n", bound,
                 seed, size, levels);
    server.writeTruth();
    return server.listen() ? 0 : 1;
}
