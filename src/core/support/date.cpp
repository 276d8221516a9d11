#include "core/support/date.h"

#include <glib.h>

namespace kovi {

namespace {

const SystemClock systemClock;
const Clock* installedClock = &systemClock;

} // namespace

Date SystemClock::now() const
{
    return Date::fromUnix(static_cast<double>(g_get_real_time()) / 1e6);
}

const Clock& Clock::current()
{
    return *installedClock;
}

Clock::Override::Override(const Clock& clock)
    : m_previous(installedClock)
{
    installedClock = &clock;
}

Clock::Override::~Override()
{
    installedClock = m_previous;
}

Date Date::now()
{
    return Clock::current().now();
}

} // namespace kovi
