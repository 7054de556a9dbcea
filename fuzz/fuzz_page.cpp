// The game page as read every half second: any text, any labyrinth and level, must neither crash the reader
// nor write outside the atlas.
#include "reader/pagereader.h"

#include <cstdint>
#include <memory>

namespace {

class Host : public veldor::ReaderHost
{
public:
    unsigned lab = 1;
    int level = 0;
    bool sounds = false;
    unsigned curLab() const override { return lab; }
    int curLevel() const override { return level; }
    bool soundsEnabled() const override { return sounds; }
    void showLevel(int l) override { level = l; }
    void updateLevelStatistics() override {}
    void playSound(std::string_view) override {}
    void setCoordinatesText(const std::string&) override {}
    void objectListsChanged() override {}
    void followPlayer(int, int) override {}
    void setCaptionPrefix(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static auto* atlas = new veldor::Atlas; // ten megabytes, kept across runs like the program keeps it
    if (size < 2)
        return 0;
    Host host;
    host.lab = data[0] % 23;               // 0..22: outside 1..20 too
    host.level = static_cast<int>(data[1] % 20) - 1; // -1..18
    host.sounds = (data[0] & 0x80) != 0;
    veldor::ReaderState state;
    const auto lines = veldor::SplitPageLines(
        std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
    veldor::RecognizePage(lines, *atlas, state, host);
    veldor::RecognizePage(lines, *atlas, state, host); // the same page again: no move
    return 0;
}
