#pragma once

// What the journal's parts share: the file's header and records, the changes between two atlases, and how a
// change applies. Only the journal's own files include this.
#include "journal.h"

#include <cstdint>
#include <string>
#include <vector>

namespace veldor::journal {

std::string header(const JournalBase& base);
// One record holding `change`, stamped with `time` (milliseconds since the epoch).
std::string encode(const Change& change, std::int64_t time);
std::int64_t nowMs();
// What differs between two versions of the atlas: cells and lists of one labyrinth (0: of all), every marker.
std::vector<Change> diff(const Atlas& was, const Atlas& now, unsigned lab);
void applyChange(const Change& change, Atlas& atlas);

} // namespace veldor::journal
