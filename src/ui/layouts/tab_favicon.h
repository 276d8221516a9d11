#pragma once

#include "core/model/tab.h"

#include <gtkmm/image.h>
#include <gtkmm/picture.h>
#include <gtkmm/spinner.h>
#include <gtkmm/stack.h>

#include <optional>

namespace kovi {

// The 16 × 16 picture of a tab in the horizontal strip: a spinner while the tab loads (when
// asked for), its favicon when the bytes make an image, else the globe. The icon is decoded only
// when its bytes change, so title and progress updates cost nothing here; the spinner and the
// picture are made the first time they are needed (a strip of many tabs is built quickly).
class TabFavicon : public Gtk::Stack {
public:
    explicit TabFavicon(bool showsLoading);

    void update(const Tab& tab);
    // "loading", "favicon" or "globe".
    std::string shownKind() const { return get_visible_child_name(); }

private:
    bool m_showsLoading;
    std::optional<Bytes> m_bytes;
    bool m_decoded = false;
    Gtk::Spinner* m_spinner = nullptr; // managed children, made on first use
    Gtk::Picture* m_picture = nullptr;
    Gtk::Image m_globe;
};

} // namespace kovi
