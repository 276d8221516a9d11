#pragma once

#include "core/state/browser_state.h"
#include "core/support/scoped_connections.h"

#include <gtkmm/drawingarea.h>

#include <string>
#include <vector>

namespace kovi {

// A schematic miniature of a browser window in one layout: a sidebar with four tab rows and
// three space dots (vertical), or a tab strip of three tabs above an address row (traditional).
// The window's buttons are drawn as the desktop draws them (plain symbols) where its button
// layout puts them: at the start and the end of the sidebar's top row, or of the tab strip.
// Colours are the theme's, so a dark scheme gives a dark miniature. Stretches with its frame.
class LayoutPreview : public Gtk::DrawingArea {
public:
    // One window button of the miniature: "minimize", "maximize" or "close", its square's left
    // edge, top edge and side, and whether the desktop puts it at the end.
    struct WindowButton {
        std::string name;
        double x, y, size;
        bool atEnd;
        bool operator==(const WindowButton&) const = default;
    };

    explicit LayoutPreview(BrowserLayoutMode mode);
    ~LayoutPreview() override;

    BrowserLayoutMode mode() const { return m_mode; }
    void setMode(BrowserLayoutMode mode);
    // Where the miniature draws the window's buttons at this width, after the desktop's layout.
    std::vector<WindowButton> windowButtons(double width);

private:
    void draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    void drawVertical(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);
    void drawTraditional(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);

    BrowserLayoutMode m_mode;
    unsigned long m_darkHandler = 0;
    ScopedConnections m_connections;
};

} // namespace kovi
