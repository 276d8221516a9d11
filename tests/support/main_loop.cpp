#include "support/main_loop.h"

#include <glib.h>

namespace kovi::test {

bool runUntil(const std::function<bool()>& done, double timeoutSeconds)
{
    bool expired = false;
    guint timer = g_timeout_add(static_cast<guint>(timeoutSeconds * 1000), [](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
    }, &expired);
    while (!done() && !expired)
        g_main_context_iteration(nullptr, TRUE);
    if (!expired)
        g_source_remove(timer);
    return done();
}

void drainMainLoop()
{
    const gint64 end = g_get_monotonic_time() + 2 * G_USEC_PER_SEC;
    while (g_main_context_iteration(nullptr, FALSE) && g_get_monotonic_time() < end) {
    }
}

} // namespace kovi::test
