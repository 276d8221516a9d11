#pragma once

#include <gtkmm/widget.h>
#include <pangomm/layout.h>

#include <string>

namespace kovi {

// The text of a chat bubble: plain text (never markup), wrapped at word or character bounds,
// not selectable, at most `maxWidth` wide and as narrow as a short text allows. Unlike a
// label it lays the text out only at the widths it is given, so a message of a hundred
// thousand characters appears in a fraction of a second instead of stalling the window.
class BubbleText : public Gtk::Widget {
public:
    BubbleText(const std::string& text, int maxWidth);

    const std::string& text() const { return m_text; }
    // What the laid-out text holds (tests: markup characters stay characters).
    std::string shownText() const { return layoutAt(m_maxWidth).get_text(); }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    // The layout wrapped at `width` pixels, made anew when the font has changed.
    Pango::Layout& layoutAt(int width) const;

    std::string m_text;
    int m_maxWidth;
    mutable Glib::RefPtr<Pango::Layout> m_layout;
    mutable guint m_contextSerial = 0;
    mutable int m_layoutWidth = -2;
};

} // namespace kovi
