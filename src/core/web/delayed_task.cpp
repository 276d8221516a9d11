#include "core/web/delayed_task.h"

#include <glibmm/main.h>

#include <cmath>

namespace kovi {

MainLoopScheduler::~MainLoopScheduler()
{
    for (auto& [id, connection] : m_pending)
        connection.disconnect();
}

TaskScheduler::TaskId MainLoopScheduler::schedule(double seconds, std::function<void()> work)
{
    TaskId id = m_next++;
    auto ms = static_cast<unsigned>(std::max(0.0, std::ceil(seconds * 1000.0)));
    m_pending[id] = Glib::signal_timeout().connect(
        [this, id, work = std::move(work)]() {
            // Forget the task before running it: the work may schedule again or destroy us.
            m_pending.erase(id);
            work();
            return false;
        },
        ms);
    return id;
}

void MainLoopScheduler::cancel(TaskId id)
{
    auto it = m_pending.find(id);
    if (it == m_pending.end())
        return;
    it->second.disconnect();
    m_pending.erase(it);
}

} // namespace kovi
