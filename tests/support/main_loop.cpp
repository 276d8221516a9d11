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
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

} // namespace kovi::test
