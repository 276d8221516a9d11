#pragma once

#include "core/support/notification_center.h"
#include "core/support/uuid.h"
#include "core/support/delayed_task.h"

#include <sigc++/signal.h>

#include <optional>

namespace kovi {

// The zoom badge of one tab's page area: shown at each zoom report for that tab with the new
// percentage, hidden 1.8 s after the last report. Main thread only.
class ZoomBadgeModel {
public:
    static constexpr double hideDelaySeconds = 1.8;

    // `hideTask` must outlive the model; the model cancels it when destroyed.
    ZoomBadgeModel(Uuid tabId, DelayedTask& hideTask);
    ~ZoomBadgeModel();
    ZoomBadgeModel(const ZoomBadgeModel&) = delete;
    ZoomBadgeModel& operator=(const ZoomBadgeModel&) = delete;

    int zoomPercent() const { return m_zoomPercent; }
    bool isVisible() const { return m_visible; }

    // Takes a webViewZoomChanged notification; others, other tabs' and ones without a number
    // under "zoom" change nothing. Returns whether it was taken.
    bool handle(const Notification& notification);

    // Emitted after the percentage or the visibility changed.
    sigc::signal<void()> changed;

private:
    void hide();

    Uuid m_tabId;
    DelayedTask& m_hideTask;
    int m_zoomPercent = 100;
    bool m_visible = false;
};

} // namespace kovi
