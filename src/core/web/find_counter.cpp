#include "core/web/find_counter.h"

namespace kovi {

std::string FindCounter::text() const
{
    return std::to_string(m_current) + "/" + std::to_string(m_total) + (m_overLimit ? "+" : "");
}

void FindCounter::setTotal(long long total)
{
    m_overLimit = total > matchLimit;
    m_total = total <= 0 ? 0 : m_overLimit ? matchLimit : static_cast<int>(total);
    m_current = m_total > 0 ? 1 : 0;
}

void FindCounter::reset()
{
    m_current = 0;
    m_total = 0;
    m_overLimit = false;
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
