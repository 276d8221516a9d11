#include "ui/sidebar/preview_bubble.h"

#include "core/sidebar/hover_preview_model.h"

#include <gtk/gtk.h>
#include <gtkmm/snapshot.h>

namespace kovi {

PreviewBubble::PreviewBubble()
{
    add_css_class("sidebar-preview-bubble");
    set_can_target(false);
    set_halign(Gtk::Align::START);
    set_valign(Gtk::Align::START);
}

void PreviewBubble::setTexture(Glib::RefPtr<Gdk::Texture> texture)
{
    m_texture = std::move(texture);
    queue_draw();
}

void PreviewBubble::measure_vfunc(Gtk::Orientation orientation, int, int& minimum, int& natural, int& minimumBaseline,
                                  int& naturalBaseline) const
{
    const double size = orientation == Gtk::Orientation::HORIZONTAL ? HoverPreviewModel::bubbleWidth
                                                                    : HoverPreviewModel::bubbleHeight;
    minimum = natural = static_cast<int>(size);
    minimumBaseline = naturalBaseline = -1;
}

void PreviewBubble::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot)
{
    if (!m_texture)
        return;
    const float w = static_cast<float>(get_width()), h = static_cast<float>(get_height());
    GtkSnapshot* s = snapshot->gobj();
    GskRoundedRect clip;
    graphene_rect_t bounds = GRAPHENE_RECT_INIT(0, 0, w, h);
    gsk_rounded_rect_init_from_rect(&clip, &bounds, 12);
    gtk_snapshot_push_rounded_clip(s, &clip);
    // Stretched to exactly the bubble, as the page's proportions rarely match.
    gtk_snapshot_append_texture(s, m_texture->gobj(), &bounds);
    gtk_snapshot_pop(s);
    GdkRGBA border{1, 1, 1, 0.18f};
    const float widths[4] = {0.6f, 0.6f, 0.6f, 0.6f};
    const GdkRGBA colors[4] = {border, border, border, border};
    gtk_snapshot_append_border(s, &clip, widths, colors);
}

} // namespace kovi
