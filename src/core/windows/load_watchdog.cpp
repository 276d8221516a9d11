#include "core/windows/load_watchdog.h"

namespace kovi {

LoadWatchdog::LoadWatchdog(TaskScheduler& scheduler, std::function<void()> stop, double seconds)
    : m_scheduler(scheduler), m_stop(std::move(stop)), m_seconds(seconds)
{
}

LoadWatchdog::~LoadWatchdog()
{
    disarm();
}

void LoadWatchdog::loadingChanged(bool isLoading)
{
    m_isLoading = isLoading;
    if (isLoading)
        arm();
    else
        disarm();
}

void LoadWatchdog::progressed()
{
    if (m_isLoading)
        arm();
}

void LoadWatchdog::arm()
{
    disarm();
    m_task = m_scheduler.schedule(m_seconds, [this] {
        m_task.reset();
        if (m_isLoading && m_stop)
            m_stop();
    });
}

void LoadWatchdog::disarm()
{
    if (m_task)
        m_scheduler.cancel(*m_task);
    m_task.reset();
}

} // namespace kovi
