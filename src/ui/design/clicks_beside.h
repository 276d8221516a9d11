#pragma once

#include <sigc++/connection.h>

#include <functional>

typedef struct _GdkEvent GdkEvent;
typedef struct _GtkEventController GtkEventController;
typedef struct _GtkWidget GtkWidget;

namespace Gtk {
class Widget;
}

namespace kovi {

// Watches the window of `inside` for clicks that begin outside `inside` and outside the
// window's popups, without taking them: each still goes to whatever is under the pointer.
// `onClick` runs after each such click is done, once what it was meant for has acted on it.
// Watching starts when `inside` is in a window.
class ClicksBeside {
public:
    ClicksBeside(Gtk::Widget& inside, std::function<void()> onClick);
    ~ClicksBeside();
    ClicksBeside(const ClicksBeside&) = delete;
    ClicksBeside& operator=(const ClicksBeside&) = delete;

private:
    void watch();
    void stopWatching();
    bool beginsBeside(GdkEvent* event) const;
    static int onEvent(GtkEventController* controller, GdkEvent* event, void* self);

    Gtk::Widget& m_inside;
    std::function<void()> m_onClick;
    GtkWidget* m_window = nullptr;
    GtkEventController* m_controller = nullptr;
    bool m_pressedBeside = false;
    sigc::connection m_mapped;
    sigc::connection m_pending;
};

} // namespace kovi
