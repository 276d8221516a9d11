#pragma once

#include "core/ai/link_preview.h"

#include <sigc++/signal.h>

#include <optional>

namespace kovi {

// Where a link preview would be shown and which one. Nothing creates previews yet, so a request
// to show one only records where it was asked for. Main thread only.
class LinkPreviewManager {
public:
    struct Point {
        double x = 0;
        double y = 0;
        bool operator==(const Point&) const = default;
    };

    bool isShowing() const { return m_isShowing; }
    const std::optional<LinkPreview>& currentPreview() const { return m_currentPreview; }
    Point position() const { return m_position; }
    sigc::signal<void()> changed;

    void showPreview(const Url& url, Point at);
    void hidePreview();

private:
    bool m_isShowing = false;
    std::optional<LinkPreview> m_currentPreview;
    Point m_position;
};

} // namespace kovi
