#include "core/web/zoom_badge_model.h"

#include "core/support/notification_names.h"
#include "core/web/page_zoom.h"

namespace kovi {

ZoomBadgeModel::ZoomBadgeModel(Uuid tabId, DelayedTask& hideTask)
    : m_tabId(tabId)
    , m_hideTask(hideTask)
{
}

ZoomBadgeModel::~ZoomBadgeModel()
{
    m_hideTask.cancel();
}

bool ZoomBadgeModel::handle(const Notification& notification)
{
    if (notification.name != notifications::webViewZoomChanged)
        return false;
    if (!notification.object || *notification.object != m_tabId)
        return false;
    auto zoom = notification.value<double>("zoom");
    if (!zoom)
        return false;
    m_zoomPercent = PageZoom::percent(*zoom);
    m_visible = true;
    // Safe: the destructor cancels the task.
    m_hideTask.start(hideDelaySeconds, [this] { hide(); });
    changed.emit();
    return true;
}

void ZoomBadgeModel::hide()
{
    m_visible = false;
    changed.emit();
}

} // namespace kovi
