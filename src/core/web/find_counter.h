#pragma once

namespace kovi {

// The find bar's "current/total" counter. The total is the engine's count of matches; stepping
// wraps around in both directions.
class FindCounter {
public:
    int current() const { return m_current; }
    int total() const { return m_total; }

    // A new count for the current search: the first match is selected when there is one.
    void setTotal(int total);
    void reset();
    // (current mod total) + 1 when there is a match; else unchanged.
    void next();
    // total when current ≤ 1, else current − 1, when there is a match; else unchanged.
    void previous();

private:
    int m_current = 0;
    int m_total = 0;
};

} // namespace kovi
