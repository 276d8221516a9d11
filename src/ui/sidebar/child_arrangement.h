#pragma once

#include <gtkmm/box.h>

#include <vector>

namespace kovi {

// Puts exactly `desired` into `box`, in that order, moving only the widgets that are out of
// place; children not in `desired` are removed (and, being managed, destroyed). Callers must
// forget removed widgets before calling.
inline void arrangeChildren(Gtk::Box& box, const std::vector<Gtk::Widget*>& desired)
{
    Gtk::Widget* previous = nullptr;
    for (Gtk::Widget* widget : desired) {
        if (widget->get_parent() != &box) {
            if (previous)
                box.insert_child_after(*widget, *previous);
            else
                box.prepend(*widget);
        } else if (widget->get_prev_sibling() != previous) {
            if (previous)
                box.reorder_child_after(*widget, *previous);
            else
                box.reorder_child_at_start(*widget);
        }
        previous = widget;
    }
    while (Gtk::Widget* extra = previous ? previous->get_next_sibling() : box.get_first_child())
        box.remove(*extra);
}

} // namespace kovi
