#pragma once

#include <string>

namespace kovi {

// The find bar's "current/total" counter. The total is the engine's count of matches, which
// stops at `matchLimit`: a count above it reads "1000+". Stepping wraps around in both
// directions.
class FindCounter {
public:
    static constexpr int matchLimit = 1000;

    int current() const { return m_current; }
    // At most matchLimit.
    int total() const { return m_total; }
    // There are more matches than the engine counts.
    bool isOverLimit() const { return m_overLimit; }
    // "current/total", with a plus after a total over the limit.
    std::string text() const;

    // A new count for the current search (anything above matchLimit means "more than the
    // limit"): the first match is selected when there is one.
    void setTotal(long long total);
    void reset();
    // (current mod total) + 1 when there is a match; else unchanged.
    void next();
    // total when current ≤ 1, else current − 1, when there is a match; else unchanged.
    void previous();

private:
    int m_current = 0;
    int m_total = 0;
    bool m_overLimit = false;
};

} // namespace kovi
