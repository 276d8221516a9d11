#include "core/sidebar/hover_preview_model.h"

#include <algorithm>

namespace kovi {

HoverPreviewModel::HoverPreviewModel(DelayedTask& delay, SnapshotFunction snapshot)
    : m_delay(delay), m_snapshot(std::move(snapshot))
{
}

HoverPreviewModel::~HoverPreviewModel()
{
    *m_alive = false;
    m_delay.cancel();
}

void HoverPreviewModel::handlePreviewRequest(const Uuid& tabId, bool hovering)
{
    if (hovering) {
        m_delay.cancel();
        const bool wasVisible = visiblePicture() != nullptr;
        m_previewTabId = tabId;
        m_delay.start(delaySeconds, [this, tabId] { requestSnapshot(tabId); });
        // Another tab's picture must not stay up beside this row.
        if (wasVisible != (visiblePicture() != nullptr))
            changed.emit();
        return;
    }
    // Leaving A after entering B leaves B's preview, and B's pending snapshot, alone.
    if (m_previewTabId != tabId)
        return;
    m_delay.cancel();
    m_previewTabId.reset();
    m_pictureTabId.reset();
    m_picture.reset();
    changed.emit();
}

void HoverPreviewModel::requestSnapshot(const Uuid& tabId)
{
    if (!m_snapshot)
        return;
    std::weak_ptr<bool> alive = m_alive;
    m_snapshot(tabId, [this, alive, tabId](Picture picture) {
        if (alive.expired())
            return;
        deliver(tabId, std::move(picture));
    });
}

void HoverPreviewModel::deliver(const Uuid& tabId, Picture picture)
{
    if (m_previewTabId != tabId)
        return; // the pointer moved on
    m_pictureTabId = tabId;
    m_picture = std::move(picture);
    changed.emit();
}

HoverPreviewModel::Picture HoverPreviewModel::visiblePicture() const
{
    if (!m_previewTabId || m_pictureTabId != m_previewTabId)
        return nullptr;
    return m_picture;
}

PreviewPlacement HoverPreviewModel::place(const PreviewRect& row, double areaTop, double areaHeight)
{
    const double half = bubbleHeight / 2;
    double y = row.y + row.height / 2;
    y = std::min(y, areaTop + areaHeight - half - edgeMargin);
    y = std::max(y, areaTop + half + edgeMargin);
    return {row.x + row.width + gapFromRow + bubbleWidth / 2, y};
}

} // namespace kovi
