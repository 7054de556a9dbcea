// map.journal as found on disk: any content parses and replays without harm. Half of the inputs get a valid
// header in front, so that the fuzzer spends its time on the records.
#include "map/journal.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// A real journal's header: written once by the program's own writer.
std::string validHeader()
{
    const std::string path = "/tmp/fuzz_journal_" + std::to_string(::getpid());
    {
        auto atlas = std::make_unique<veldor::Atlas>();
        veldor::JournalWriter writer(path);
        writer.rebase(*atlas, veldor::BaseOf(*atlas, {}));
        atlas->cell(1, 0, 1, 1)->Explored = 1;
        writer.capture(*atlas, 1);
    }
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes.substr(0, 80);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string header = validHeader();
    static auto atlas = std::make_unique<veldor::Atlas>();
    std::string input(reinterpret_cast<const char*>(data), size);
    if (size > 0 && (data[0] & 1))
        input = header + input.substr(1);
    const veldor::JournalRead read = veldor::ParseJournal(input);
    // Every change costs at least a record's frame of eight bytes.
    if (!read.usable ? !read.changes.empty() : read.changes.size() > input.size() / 8)
        std::abort();
    veldor::ReplayJournal(read, *atlas);
    return 0;
}
