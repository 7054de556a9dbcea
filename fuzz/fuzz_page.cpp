// The game page as read every half second: any text, any labyrinth and level, must neither crash the reader
// nor write outside the atlas.
#include "reader/pagereader.h"
#include "stubreaderhost.h"

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* atlas = new veldor::Atlas; // ten megabytes, kept across runs like the program keeps it
    if (size < 2)
        return 0;
    veldor::test::StubReaderHost host;
    host.lab = data[0] % 23;                         // 0..22: outside 1..20 too
    host.level = static_cast<int>(data[1] % 20) - 1; // -1..18
    host.sounds = (data[0] & 0x80) != 0;
    veldor::ReaderState state;
    const auto lines = veldor::SplitPageLines(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
    veldor::RecognizePage(lines, *atlas, state, host);
    veldor::RecognizePage(lines, *atlas, state, host); // the same page again: no move
    return 0;
}
