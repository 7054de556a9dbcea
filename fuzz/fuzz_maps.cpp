// Map files as found on disk: any content in any of the four files must load without harm, and what loads is
// what the object lists show afterwards.
#include "map/mapfiles.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* atlas = new veldor::Atlas;
    static const std::string folder = [] {
        char tmpl[] = "/tmp/veldor-fuzz-maps-XXXXXX";
        return std::string(::mkdtemp(tmpl));
    }();
    if (size < 1)
        return 0;
    const auto& files = veldor::MapFiles();
    // The first byte picks the file that holds the rest; the others are absent.
    const std::size_t chosen = data[0] % files.size();
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string path = folder + "/" + files[i].name;
        std::remove(path.c_str());
        if (i == chosen) {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(data) + 1, static_cast<std::streamsize>(size - 1));
        }
    }
    veldor::LoadMaps(*atlas, folder);
    // Damaged length bytes in the lists must not read beyond their slots.
    std::size_t total = 0;
    for (unsigned lab = 1; lab <= 20; ++lab)
        for (auto kind :
             {veldor::ListKind::Exits, veldor::ListKind::Transitions, veldor::ListKind::Traps, veldor::ListKind::Flags})
            total += veldor::MemoText(*atlas, lab, kind).size();
    if (total > 340u * 19u * 255u)
        std::abort();
    return 0;
}
