// markers.txt as found on disk: any content must parse without harm, and what the program writes back reads
// back as the same markers.
#include "map/markerfile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto atlas = std::make_unique<veldor::Atlas>();
    veldor::ParseMarkers(std::string_view(reinterpret_cast<const char*>(data), size), *atlas);
    const std::string written = veldor::SerializeMarkers(*atlas);
    auto back = std::make_unique<veldor::Atlas>();
    const veldor::MarkersRead again = veldor::ParseMarkers(written, *back);
    if (again.damaged != 0 || veldor::SerializeMarkers(*back) != written)
        std::abort();
    return 0;
}
