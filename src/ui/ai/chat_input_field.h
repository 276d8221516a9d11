#pragma once

#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/textview.h>
#include <sigc++/signal.h>

#include <string>

namespace kovi {

// The chat's text field: plain text that grows from one to four lines and then scrolls, with a
// placeholder while empty. Return submits; Shift+Return starts a new line.
class ChatInputField : public Gtk::Overlay {
public:
    static constexpr int maxLines = 4;

    explicit ChatInputField(const char* placeholder);

    std::string text() const;
    // Replaces the text and puts the cursor at its end.
    void setText(const std::string& text);
    void focus();
    Gtk::TextView& textView() { return m_view; }
    Gtk::Label& placeholder() { return m_placeholder; }

    sigc::signal<void()> textChanged;
    sigc::signal<void()> submitted;

private:
    bool onKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    void updateMaxHeight();

    Gtk::ScrolledWindow m_scroller;
    Gtk::TextView m_view;
    Gtk::Label m_placeholder;
    Glib::RefPtr<Gtk::EventControllerKey> m_keys;
};

} // namespace kovi
