#include "core/web/find_counter.h"

namespace kovi {

void FindCounter::setTotal(int total)
{
    m_total = total > 0 ? total : 0;
    m_current = m_total > 0 ? 1 : 0;
}

void FindCounter::reset()
{
    m_current = 0;
    m_total = 0;
}

void FindCounter::next()
{
    if (m_total >= 1)
        m_current = (m_current % m_total) + 1;
}

void FindCounter::previous()
{
    if (m_total >= 1)
        m_current = m_current <= 1 ? m_total : m_current - 1;
}

} // namespace kovi
