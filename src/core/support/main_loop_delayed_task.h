#pragma once

#include "core/support/delayed_task.h"

#include <sigc++/connection.h>

namespace kovi {

// A DelayedTask on a GLib main-loop timeout. The pending timeout dies with the task, so the work
// never runs against an owner that has gone. Main thread only.
class MainLoopDelayedTask final : public DelayedTask {
public:
    MainLoopDelayedTask() = default;
    ~MainLoopDelayedTask() override;
    MainLoopDelayedTask(const MainLoopDelayedTask&) = delete;
    MainLoopDelayedTask& operator=(const MainLoopDelayedTask&) = delete;

    void start(double seconds, std::function<void()> work) override;
    void cancel() override;
    bool isPending() const override { return m_timer.connected(); }

private:
    sigc::connection m_timer;
};

} // namespace kovi
