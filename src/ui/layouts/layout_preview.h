#pragma once

#include "core/state/browser_state.h"

#include <gtkmm/drawingarea.h>

namespace kovi {

// A schematic miniature of a browser window in one layout: a sidebar with four tab rows and
// three space dots (vertical), or a tab strip of three tabs above an address row (traditional).
// Colours are the theme's, so a dark scheme gives a dark miniature. Stretches with its frame.
class LayoutPreview : public Gtk::DrawingArea {
public:
    explicit LayoutPreview(BrowserLayoutMode mode);
    ~LayoutPreview() override;

    BrowserLayoutMode mode() const { return m_mode; }
    void setMode(BrowserLayoutMode mode);

private:
    void draw(const Cairo::RefPtr<Cairo::Context>& cr, int width, int height);
    void drawVertical(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);
    void drawTraditional(const Cairo::RefPtr<Cairo::Context>& cr, double width, double height);

    BrowserLayoutMode m_mode;
    unsigned long m_darkHandler = 0;
};

} // namespace kovi
