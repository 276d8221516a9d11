#include "core/windows/load_watchdog.h"

namespace kovi {

LoadWatchdog::LoadWatchdog(DelayedTask& timer, std::function<void()> stop, double seconds)
    : m_timer(timer), m_stop(std::move(stop)), m_seconds(seconds)
{
}

LoadWatchdog::~LoadWatchdog()
{
    m_timer.cancel();
}

void LoadWatchdog::loadingChanged(bool isLoading)
{
    m_isLoading = isLoading;
    if (isLoading)
        arm();
    else
        m_timer.cancel();
}

void LoadWatchdog::progressed()
{
    if (m_isLoading)
        arm();
}

void LoadWatchdog::arm()
{
    m_timer.start(m_seconds, [this] {
        if (m_isLoading && m_stop)
            m_stop();
    });
}

} // namespace kovi
