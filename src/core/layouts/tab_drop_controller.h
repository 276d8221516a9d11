#pragma once

#include "core/support/uuid.h"

#include <sigc++/signal.h>

#include <functional>
#include <optional>
#include <string_view>

namespace kovi {

// The drag records of the horizontal tab strip and the rules of a drop onto a normal tab: a drag
// qualifies when a tab drag is recorded and the target is another tab; a drop lands the dragged
// tab immediately before the target. Toolkit-neutral, so the strip's drop targets only forward
// their events. Main thread only.
//
// Unlike a drop delegate that trusts its records alone, a drop reorders only when its payload is
// the recorded tab's id, and a drag that ends anywhere (dropped elsewhere, cancelled with Escape)
// leaves no record behind: stale records would let any later text drop move that tab.
class TabDropController {
public:
    using Reorder = std::function<void(const Uuid& tabId, const Uuid& beforeTabId)>;

    explicit TabDropController(Reorder reorder);

    std::optional<Uuid> draggedTabId() const { return m_draggedTabId; }
    std::optional<Uuid> currentDropTarget() const { return m_currentDropTarget; }
    // Either record changed.
    sigc::signal<void()> changed;

    // A normal tab's drag starts; pinned tabs are not recorded.
    void beginDrag(const Uuid& tabId);
    // The drag of `tabId` is over, dropped or not. Records of a newer drag stay.
    void endDrag(const Uuid& tabId);

    bool qualifies(const Uuid& targetId) const;
    bool validateDrop(const Uuid& targetId) const { return qualifies(targetId); }
    // Whether the target now shows itself as the drop target.
    bool dropEntered(const Uuid& targetId);
    // Clears the target only when it is the recorded one: a later target keeps its record.
    void dropExited(const Uuid& targetId);
    // Reorders when the drag qualifies and `payload` is the recorded tab's id; clears both
    // records either way. True when the reorder was asked for.
    bool performDrop(const Uuid& targetId, std::string_view payload);

private:
    void set(std::optional<Uuid>& record, std::optional<Uuid> value);

    Reorder m_reorder;
    std::optional<Uuid> m_draggedTabId;
    std::optional<Uuid> m_currentDropTarget;
};

} // namespace kovi
