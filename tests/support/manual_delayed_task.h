#pragma once

#include "core/support/delayed_task.h"

#include <functional>
#include <utility>

namespace kovi::test {

// A DelayedTask that runs when the test says so: fire() runs the pending work at once;
// advance() moves the task's own clock and runs the work once it is due.
class ManualDelayedTask final : public DelayedTask {
public:
    void start(double seconds, std::function<void()> work) override
    {
        m_seconds = seconds;
        m_due = m_now + seconds;
        m_work = std::move(work);
        ++starts;
    }
    void cancel() override { m_work = nullptr; }
    bool isPending() const override { return static_cast<bool>(m_work); }

    // The delay of the last start.
    double seconds() const { return m_seconds; }

    // Runs the pending work, if any.
    bool fire()
    {
        if (!m_work)
            return false;
        auto work = std::move(m_work);
        m_work = nullptr;
        work();
        return true;
    }

    void advance(double seconds)
    {
        m_now += seconds;
        if (m_work && m_due <= m_now + 1e-9)
            fire();
    }

    int starts = 0;

private:
    std::function<void()> m_work;
    double m_seconds = 0;
    double m_now = 0;
    double m_due = 0;
};

} // namespace kovi::test
