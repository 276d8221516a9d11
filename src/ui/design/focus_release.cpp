#include "ui/design/focus_release.h"

#include <gtkmm/root.h>
#include <gtkmm/widget.h>

namespace kovi {

void releaseFocusWithin(Gtk::Widget& widget)
{
    Gtk::Root* root = widget.get_root();
    Gtk::Widget* focus = root ? root->get_focus() : nullptr;
    if (focus && (focus == &widget || focus->is_ancestor(widget)))
        root->unset_focus();
}

} // namespace kovi
