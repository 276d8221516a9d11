#pragma once

#include "core/support/delayed_task.h"

#include <functional>

namespace kovi {

// Gives up on a load that has made no progress for a while (60 s for the floating windows: the
// engine's load call takes no time-out of its own). A new load or any progress starts the wait
// again; the end of loading ends it. `stop` runs at most once per wait, never after the
// watchdog is destroyed.
class LoadWatchdog {
public:
    static constexpr double defaultSeconds = 60;

    LoadWatchdog(DelayedTask& timer, std::function<void()> stop, double seconds = defaultSeconds);
    ~LoadWatchdog();
    LoadWatchdog(const LoadWatchdog&) = delete;
    LoadWatchdog& operator=(const LoadWatchdog&) = delete;

    void loadingChanged(bool isLoading);
    void progressed();
    bool isWaiting() const { return m_timer.isPending(); }

private:
    void arm();

    DelayedTask& m_timer;
    std::function<void()> m_stop;
    double m_seconds;
    bool m_isLoading = false;
};

} // namespace kovi
