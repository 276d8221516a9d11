#include "core/web/zoom_badge_model.h"

#include "core/support/notification_names.h"
#include "core/web/page_zoom.h"

namespace kovi {

ZoomBadgeModel::ZoomBadgeModel(Uuid tabId, TaskScheduler& scheduler)
    : m_tabId(tabId)
    , m_scheduler(scheduler)
{
}

ZoomBadgeModel::~ZoomBadgeModel()
{
    if (m_hideTask)
        m_scheduler.cancel(*m_hideTask);
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
    if (m_hideTask)
        m_scheduler.cancel(*m_hideTask);
    m_hideTask = m_scheduler.schedule(hideDelaySeconds, [this] { hide(); });
    changed.emit();
    return true;
}

void ZoomBadgeModel::hide()
{
    m_hideTask.reset();
    m_visible = false;
    changed.emit();
}

} // namespace kovi
