#pragma once

#include <gtkmm/iconpaintable.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Gtk {
class Widget;
}

namespace kovi {

// Keeps the icons that a kind of short-lived window shows loaded for as long as it lives. The
// toolkit drops an icon when the last image showing it goes and parses its file again for the
// next one, and each parse of a vector icon keeps a little memory for good: a window opened and
// closed many times would grow the process each time. Main thread only.
class IconKeeper {
public:
    // Keeps the icon of every image below `root` (named icons only), as drawn there.
    void keepIconsOf(Gtk::Widget& root);
    std::size_t size() const { return m_icons.size(); }

private:
    void keep(Gtk::Widget& image, const std::string& name, int size);

    std::set<std::pair<std::string, int>> m_kept;
    std::vector<Glib::RefPtr<Gtk::IconPaintable>> m_icons;
};

} // namespace kovi
