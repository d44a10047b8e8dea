#pragma once
// "Merge Other Country File": exception calls, IOTA references, QSL managers and manager
// addresses of another country file brought into this one, each step confirmed by the operator,
// every added or replaced record listed.
#include "logbook/country_db.h"

#include <cstddef>
#include <deque>
#include <functional>
#include <string>

namespace korval {

// The editor's message list: at most Capacity lines; beyond that the oldest is dropped and counted.
class TMessageLines {
public:
    static constexpr std::size_t Capacity = 10000;
    void Add(std::string line);
    void Clear();
    const std::deque<std::string>& Lines() const { return lines_; }
    std::size_t Dropped() const { return dropped_; }

private:
    std::deque<std::string> lines_;
    std::size_t dropped_ = 0;
};

struct TMergeHooks {
    // Asked before each step with its title; false skips the step.
    std::function<bool(const std::string& title)> Confirm;
    // Optional: a step starts over this many records, then one step per record.
    std::function<void(const std::string& caption, int total)> Start;
    std::function<void()> Step;
    std::function<void()> Finish;
};

// Merges `other` into `db`, appending the report lines to `out` (ended by "Merge complete" and,
// when the list had to drop lines, the capacity line). Returns whether anything changed.
bool MergeCountryFile(TCountryData& db, const TCountryData& other, const TMergeHooks& hooks, TMessageLines& out);

} // namespace korval
