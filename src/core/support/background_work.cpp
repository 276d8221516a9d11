#include "core/support/background_work.h"

#include "core/support/gobject_ptr.h"

#include <gio/gio.h>

namespace kovi {

namespace {

struct Job {
    std::function<void()> work;
    std::function<void()> done;
};

} // namespace

void runInBackground(std::function<void()> work, std::function<void()> done)
{
    auto* job = new Job{std::move(work), std::move(done)};
    // The task delivers its callback on the context that was current here: the main loop's.
    auto task = GObjectPtr<GTask>::adopt(g_task_new(
        nullptr, nullptr,
        [](GObject*, GAsyncResult*, gpointer data) {
            // Taken out so that what it holds is released on this thread, whichever thread lets
            // the task go last.
            auto done = std::move(static_cast<Job*>(data)->done);
            done();
        },
        job));
    g_task_set_task_data(task.get(), job, [](gpointer data) { delete static_cast<Job*>(data); });
    g_task_run_in_thread(task.get(), [](GTask* running, gpointer, gpointer data, GCancellable*) {
        auto work = std::move(static_cast<Job*>(data)->work);
        work();
        g_task_return_boolean(running, TRUE);
    });
}

} // namespace kovi
