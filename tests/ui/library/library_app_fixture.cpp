#include "library_app_fixture.h"

namespace kovi::test {

Gtk::Widget* findWidget(Gtk::Widget& root, const std::function<bool(Gtk::Widget&)>& match)
{
    if (match(root))
        return &root;
    for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
        if (Gtk::Widget* found = findWidget(*child, match))
            return found;
    }
    return nullptr;
}

Gtk::Button* findButton(Gtk::Widget& root, const std::string& text)
{
    return dynamic_cast<Gtk::Button*>(findWidget(root, [&](Gtk::Widget& w) {
        auto* button = dynamic_cast<Gtk::Button*>(&w);
        return button && button->get_mapped()
               && (button->get_label() == Glib::ustring(text) || button->get_tooltip_text() == Glib::ustring(text));
    }));
}

} // namespace kovi::test
