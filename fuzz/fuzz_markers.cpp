// markers.txt as found on disk: any content must parse without harm, and what the program writes back reads
// back as the same markers.
#include "map/markerfile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

// Atlases are large; two are kept for the whole run and only their markers are emptied between inputs.
veldor::Atlas& emptied(std::unique_ptr<veldor::Atlas>& atlas)
{
    if (!atlas)
        atlas = std::make_unique<veldor::Atlas>();
    for (const auto& m : atlas->markers())
        atlas->clearMarkText(m.lab, m.level, m.x, m.y);
    return *atlas;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static std::unique_ptr<veldor::Atlas> first;
    static std::unique_ptr<veldor::Atlas> second;
    veldor::Atlas& atlas = emptied(first);
    veldor::ParseMarkers(std::string_view(reinterpret_cast<const char*>(data), size), atlas);
    const std::string written = veldor::SerializeMarkers(atlas);
    veldor::Atlas& back = emptied(second);
    const veldor::MarkersRead again = veldor::ParseMarkers(written, back);
    if (again.damaged != 0 || veldor::SerializeMarkers(back) != written)
        std::abort();
    return 0;
}
