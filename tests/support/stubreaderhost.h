#pragma once

// A reader host that only keeps the labyrinth and level: for benchmarks and fuzzing, where the window's
// reactions do not matter.
#include "reader/pagereader.h"

namespace veldor::test {

class StubReaderHost : public ReaderHost
{
public:
    unsigned lab = 1;
    int level = 0;
    bool sounds = false;

    unsigned playerLab() const override { return lab; }
    int shownLevel() const override { return level; }
    bool soundsEnabled() const override { return sounds; }
    void showLevel(int l) override { level = l; }
    void updateLevelStatistics() override {}
    void playSound(std::string_view) override {}
    void setCoordinatesText(const std::string&) override {}
    void objectListsChanged() override {}
    void followPlayer(int, int) override {}
    void setCaptionPrefix(const std::string&) override {}
};

} // namespace veldor::test
