// Saves maps over and over until it is killed: every byte of every table holds the pattern given, so that
// whoever kills it can tell a complete new file from a complete old one.
#include "map/mapfiles.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 2;
    auto atlas = std::make_unique<veldor::Atlas>();
    const auto pattern = static_cast<std::uint8_t>(std::atoi(argv[2]));
    for (auto t : {veldor::MapTable::Map1, veldor::MapTable::Map2, veldor::MapTable::Map3, veldor::MapTable::MapCrd})
        for (auto& b : atlas->bytes(t))
            b = pattern;
    std::puts("saving");
    std::fflush(stdout);
    for (;;) {
        if (!veldor::SaveMaps(*atlas, argv[1]).ok())
            return 1;
    }
}
