#pragma once

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

namespace kovi {

// Gives `widget` a width × height allocation drawn shifted sideways by `offset` pixels and scaled
// by `scale` about its centre; input follows the transform.
inline void allocateShifted(Gtk::Widget& widget, int width, int height, int baseline, double offset, double scale)
{
    GskTransform* transform = nullptr;
    graphene_point_t shift = GRAPHENE_POINT_INIT(static_cast<float>(offset), 0.f);
    transform = gsk_transform_translate(transform, &shift);
    if (scale != 1) {
        graphene_point_t centre = GRAPHENE_POINT_INIT(width / 2.f, height / 2.f);
        graphene_point_t back = GRAPHENE_POINT_INIT(-width / 2.f, -height / 2.f);
        transform = gsk_transform_translate(transform, &centre);
        transform = gsk_transform_scale(transform, static_cast<float>(scale), static_cast<float>(scale));
        transform = gsk_transform_translate(transform, &back);
    }
    gtk_widget_allocate(widget.gobj(), width, height, baseline, transform);
}

} // namespace kovi
