#include "ui/ai/bubble_text.h"

#include <gtkmm/snapshot.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>

namespace kovi {

BubbleText::BubbleText(const std::string& text, int maxWidth)
    : m_text(text), m_maxWidth(maxWidth)
{
    set_overflow(Gtk::Overflow::HIDDEN);
    gtk_accessible_update_property(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, m_text.c_str(), -1);
}

Pango::Layout& BubbleText::layoutAt(int width) const
{
    auto context = const_cast<BubbleText*>(this)->get_pango_context();
    const guint serial = pango_context_get_serial(context->gobj());
    if (!m_layout || serial != m_contextSerial) {
        // set_text, never set_markup: what the model wrote is shown, not interpreted.
        m_layout = Pango::Layout::create(context);
        m_layout->set_text(m_text);
        m_layout->set_wrap(Pango::WrapMode::WORD_CHAR);
        m_contextSerial = serial;
        m_layoutWidth = -2;
    }
    if (width != m_layoutWidth) {
        m_layout->set_width(width < 0 ? -1 : width * PANGO_SCALE);
        m_layoutWidth = width;
    }
    return *m_layout;
}

Gtk::SizeRequestMode BubbleText::get_request_mode_vfunc() const
{
    return Gtk::SizeRequestMode::HEIGHT_FOR_WIDTH;
}

void BubbleText::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                               int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = -1;
    naturalBaseline = -1;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        // Laid out at the widest allowed: one line means the text is narrower than that.
        Pango::Layout& layout = layoutAt(m_maxWidth);
        int width = 0, height = 0;
        layout.get_pixel_size(width, height);
        natural = layout.get_line_count() <= 1 ? std::min(width, m_maxWidth) : m_maxWidth;
        minimum = 0;
        return;
    }
    const int width = forSize < 0 ? m_maxWidth : std::min(forSize, m_maxWidth);
    int layoutWidth = 0, height = 0;
    layoutAt(width).get_pixel_size(layoutWidth, height);
    minimum = natural = height;
}

void BubbleText::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot)
{
    Pango::Layout& layout = layoutAt(get_width());
    const Gdk::RGBA color = get_style_context()->get_color();
    gtk_snapshot_append_layout(snapshot->gobj(), layout.gobj(), color.gobj());
}

} // namespace kovi
