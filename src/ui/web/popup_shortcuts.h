#pragma once

#include <glib-object.h>
#include <glibmm/refptr.h>
#include <sigc++/connection.h>

#include <functional>

typedef struct _GtkWidget GtkWidget;

namespace Gtk {
class ShortcutController;
}

namespace kovi {

// The engine's popups over a page (its menu, a list's choices) hold the keyboard while they are
// open, as any menu does, so the shortcuts of the page's window, Ctrl+Q among them, no longer
// reach it. Each popup made over the view is given them too: the controller `make` builds (none
// when it builds none). Runs after the view's other handlers of the engine's requests, so a
// popup refused there is never looked for. Main thread only.
class PopupShortcuts {
public:
    using Make = std::function<Glib::RefPtr<Gtk::ShortcutController>()>;

    PopupShortcuts(GtkWidget* view, Make make);
    ~PopupShortcuts();
    PopupShortcuts(const PopupShortcuts&) = delete;
    PopupShortcuts& operator=(const PopupShortcuts&) = delete;

private:
    static gboolean onPopupAsked(GtkWidget* view, gpointer, gpointer, gpointer self) noexcept;
    void giveToPopups();

    GWeakRef m_view;
    Make m_make;
    sigc::connection m_soon;
};

} // namespace kovi
