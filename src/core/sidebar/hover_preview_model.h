#pragma once

#include "core/support/delayed_task.h"
#include "core/support/uuid.h"

#include <sigc++/signal.h>

#include <functional>
#include <memory>
#include <optional>

namespace kovi {

// A picture of a tab's page; the views subclass it around their own image type.
class PreviewPicture {
public:
    virtual ~PreviewPicture() = default;
};

// Where the hover preview bubble goes: its centre, in the coordinates of the area the rows'
// rectangles are given in.
struct PreviewRect {
    double x = 0, y = 0, width = 0, height = 0;
};
struct PreviewPlacement {
    double centerX = 0;
    double centerY = 0;
};

// The hover page preview: a hover start asks for the tab's snapshot after a short rest, a
// hover end of the same tab clears it. A picture is shown only beside the tab it was taken of.
// Main thread only.
class HoverPreviewModel {
public:
    static constexpr double delaySeconds = 0.25;
    static constexpr double bubbleWidth = 260;
    static constexpr double bubbleHeight = 170;
    static constexpr double gapFromRow = 16;
    static constexpr double edgeMargin = 8;

    using Picture = std::shared_ptr<const PreviewPicture>;
    // Takes a tab's snapshot; calls back with nothing when the tab has no live page.
    using SnapshotFunction = std::function<void(const Uuid& tabId, std::function<void(Picture)> done)>;

    // `delay` times the rest before a snapshot and must outlive the model. The snapshot
    // function calls back on the main loop, never from inside the call.
    HoverPreviewModel(DelayedTask& delay, SnapshotFunction snapshot);
    ~HoverPreviewModel();

    void handlePreviewRequest(const Uuid& tabId, bool hovering);

    std::optional<Uuid> previewTabId() const { return m_previewTabId; }
    // The picture to draw now: only the hovered tab's own picture.
    Picture visiblePicture() const;

    // Any change of what should be drawn.
    sigc::signal<void()> changed;

    // The bubble's centre beside `row`, kept `edgeMargin` inside [areaTop, areaTop + areaHeight].
    static PreviewPlacement place(const PreviewRect& row, double areaTop, double areaHeight);

private:
    void requestSnapshot(const Uuid& tabId);
    void deliver(const Uuid& tabId, Picture picture);

    DelayedTask& m_delay;
    SnapshotFunction m_snapshot;
    std::optional<Uuid> m_previewTabId;
    std::optional<Uuid> m_pictureTabId;
    Picture m_picture;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace kovi
