// links.txt as found on disk: any content must parse without harm, every link read lies on the atlas, and what
// the program writes back reads back as the same links.
#include "map/levellinks.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const veldor::LevelLinks links = veldor::LevelLinks::parse(std::string(reinterpret_cast<const char*>(data), size));
    for (const veldor::LevelLink& link : links.all())
        if (!veldor::LevelLinks::valid(link))
            std::abort();
    std::size_t skipped = 1;
    if (veldor::LevelLinks::parse(links.text(), &skipped) != links || skipped != 0)
        std::abort();
    return 0;
}
