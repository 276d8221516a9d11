#pragma once

#include <sigc++/connection.h>

#include <cstdint>
#include <functional>
#include <map>

namespace kovi {

// Runs work once after a delay; a pending run can be cancelled, and a new one replaces it.
// The main-loop implementation is used by views; tests drive a manual one.
class TaskScheduler {
public:
    using TaskId = std::uint64_t;
    virtual ~TaskScheduler() = default;
    virtual TaskId schedule(double seconds, std::function<void()> work) = 0;
    virtual void cancel(TaskId id) = 0;
};

// Glib timeouts; every pending timeout is removed when the scheduler is destroyed, so work never
// runs against an owner that has gone.
class MainLoopScheduler final : public TaskScheduler {
public:
    MainLoopScheduler() = default;
    ~MainLoopScheduler() override;
    MainLoopScheduler(const MainLoopScheduler&) = delete;
    MainLoopScheduler& operator=(const MainLoopScheduler&) = delete;

    TaskId schedule(double seconds, std::function<void()> work) override;
    void cancel(TaskId id) override;

private:
    TaskId m_next = 1;
    std::map<TaskId, sigc::connection> m_pending;
};

} // namespace kovi
