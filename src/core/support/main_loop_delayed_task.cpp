#include "core/support/main_loop_delayed_task.h"

#include <glibmm/main.h>

#include <algorithm>
#include <cmath>

namespace kovi {

MainLoopDelayedTask::~MainLoopDelayedTask()
{
    m_timer.disconnect();
}

void MainLoopDelayedTask::start(double seconds, std::function<void()> work)
{
    m_timer.disconnect();
    const unsigned ms = seconds > 0 ? static_cast<unsigned>(std::lround(std::min(seconds, 86400.0) * 1000)) : 0;
    // Safe: the connection is dropped when the task is destroyed or started again.
    m_timer = Glib::signal_timeout().connect(
        [this, work = std::move(work)] {
            // Copied before the timer lets go of this function: the work may start the task
            // again or destroy its owner.
            auto run = work;
            m_timer.disconnect();
            run();
            return false;
        },
        ms);
}

void MainLoopDelayedTask::cancel()
{
    m_timer.disconnect();
}

} // namespace kovi
