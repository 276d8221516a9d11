#include "core/layouts/tab_drop_controller.h"

#include "core/support/text.h"

namespace kovi {

TabDropController::TabDropController(Reorder reorder)
    : m_reorder(std::move(reorder))
{
}

void TabDropController::set(std::optional<Uuid>& record, std::optional<Uuid> value)
{
    if (record == value)
        return;
    record = value;
    changed.emit();
}

void TabDropController::beginDrag(const Uuid& tabId)
{
    set(m_currentDropTarget, std::nullopt);
    set(m_draggedTabId, tabId);
}

void TabDropController::endDrag(const Uuid& tabId)
{
    if (m_draggedTabId != tabId)
        return;
    set(m_draggedTabId, std::nullopt);
    set(m_currentDropTarget, std::nullopt);
}

bool TabDropController::qualifies(const Uuid& targetId) const
{
    return m_draggedTabId && *m_draggedTabId != targetId;
}

bool TabDropController::dropEntered(const Uuid& targetId)
{
    if (!qualifies(targetId))
        return false;
    set(m_currentDropTarget, targetId);
    return true;
}

void TabDropController::dropExited(const Uuid& targetId)
{
    if (m_currentDropTarget == targetId)
        set(m_currentDropTarget, std::nullopt);
}

bool TabDropController::performDrop(const Uuid& targetId, std::string_view payload)
{
    const auto carried = Uuid::parse(text::trimWhitespaceAndNewlines(payload));
    const bool ok = qualifies(targetId) && carried == m_draggedTabId;
    const std::optional<Uuid> dragged = m_draggedTabId;
    // Cleared before the reorder: the state's change signals may rebuild views that read them.
    set(m_draggedTabId, std::nullopt);
    set(m_currentDropTarget, std::nullopt);
    if (ok && m_reorder)
        m_reorder(*dragged, targetId);
    return ok;
}

} // namespace kovi
