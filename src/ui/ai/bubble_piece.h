#pragma once

#include <gtkmm/widget.h>
#include <pangomm/layout.h>

#include <string>

namespace kovi {

// One piece of a chat bubble's text: plain text (never markup), wrapped at word or character
// bounds, not selectable, at most `maxWidth` wide. As wide as its longest line, or the whole
// `maxWidth` once it wraps. It lays the text out only at the widths it is shown at, once each.
class BubblePiece : public Gtk::Widget {
public:
    // `directionMark` (an invisible LRM or RLM, or nothing) leads the laid-out text.
    BubblePiece(std::string text, int maxWidth, std::string directionMark = {});

    const std::string& text() const { return m_text; }
    // What the laid-out text holds after the mark (tests: markup characters stay characters).
    std::string shownText() const { return layoutAt(m_maxWidth).get_text().raw().substr(m_directionMark.size()); }
    // Whether its first line runs right to left (tests).
    bool startsRightToLeft() const;

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    struct Laid {
        Glib::RefPtr<Pango::Layout> layout;
        int width = -2;
    };
    // The layout wrapped at `width` pixels. The widest one, which measuring needs, is kept apart
    // from the one at the width shown, so neither is laid out again and again.
    Pango::Layout& layoutAt(int width) const;
    // Width of the text laid out at the widest.
    int naturalWidth() const;

    std::string m_text;
    std::string m_directionMark;
    int m_maxWidth;
    mutable Laid m_widest;
    mutable Laid m_shown;
    mutable guint m_contextSerial = 0;
};

} // namespace kovi
