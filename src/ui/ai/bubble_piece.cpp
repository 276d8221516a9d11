#include "ui/ai/bubble_piece.h"

#include <gtkmm/snapshot.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>

namespace kovi {

BubblePiece::BubblePiece(std::string text, int maxWidth, std::string directionMark)
    : m_text(std::move(text)), m_directionMark(std::move(directionMark)), m_maxWidth(maxWidth)
{
    set_overflow(Gtk::Overflow::HIDDEN);
    gtk_accessible_update_property(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, m_text.c_str(), -1);
}

Pango::Layout& BubblePiece::layoutAt(int width) const
{
    auto context = const_cast<BubblePiece*>(this)->get_pango_context();
    const guint serial = pango_context_get_serial(context->gobj());
    if (serial != m_contextSerial) {
        // The font has changed: everything is laid out anew.
        m_widest = {};
        m_shown = {};
        m_contextSerial = serial;
    }
    Laid& laid = width == m_maxWidth ? m_widest : m_shown;
    if (!laid.layout) {
        // set_text, never set_markup: what the model wrote is shown, not interpreted.
        laid.layout = Pango::Layout::create(context);
        laid.layout->set_text(m_directionMark + m_text);
        laid.layout->set_wrap(Pango::WrapMode::WORD_CHAR);
    }
    if (width != laid.width) {
        laid.layout->set_width(width < 0 ? -1 : width * PANGO_SCALE);
        laid.width = width;
    }
    return *laid.layout;
}

int BubblePiece::naturalWidth() const
{
    Pango::Layout& layout = layoutAt(m_maxWidth);
    if (layout.is_wrapped())
        return m_maxWidth;
    int width = 0, height = 0;
    layout.get_pixel_size(width, height);
    return std::min(width, m_maxWidth);
}

bool BubblePiece::startsRightToLeft() const
{
    PangoLayoutLine* line = pango_layout_get_line_readonly(layoutAt(m_maxWidth).gobj(), 0);
    return line && line->resolved_dir == PANGO_DIRECTION_RTL;
}

Gtk::SizeRequestMode BubblePiece::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void BubblePiece::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = -1;
    naturalBaseline = -1;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        minimum = 0;
        natural = naturalWidth();
        return;
    }
    int width = forSize < 0 ? m_maxWidth : std::min(forSize, m_maxWidth);
    // Every line that fits the widest layout fits any width down to its longest line, with the
    // same breaks: that layout's height holds.
    if (width >= naturalWidth())
        width = m_maxWidth;
    int layoutWidth = 0, height = 0;
    layoutAt(width).get_pixel_size(layoutWidth, height);
    minimum = natural = height;
}

void BubblePiece::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot)
{
    Pango::Layout& layout = layoutAt(std::min(get_width(), m_maxWidth));
    const Gdk::RGBA color = get_style_context()->get_color();
    gtk_snapshot_append_layout(snapshot->gobj(), layout.gobj(), color.gobj());
}

} // namespace kovi
