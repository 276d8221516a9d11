#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>

namespace kovi {

struct AppContext;

// The start page of the sidebar layout, shown when no tab is active and split view is off: the
// wordmark, a headline, a large search field that opens the command bar, and quick links to the
// library, the history and the downloads. The search field and Library run the menu's New Tab
// and Show Library; History and Downloads open their panels (they never close them).
class EmptyStateView : public Gtk::Box {
public:
    explicit EmptyStateView(AppContext& ctx);

    Gtk::Button& searchButton() { return *m_search; }
    Gtk::Button& libraryButton() { return *m_library; }
    Gtk::Button& historyButton() { return *m_history; }
    Gtk::Button& downloadsButton() { return *m_downloads; }

private:
    Gtk::Button* makeQuickLink(const char* title, const char* symbol);

    AppContext& m_ctx;
    Gtk::Button* m_search = nullptr;
    Gtk::Button* m_library = nullptr;
    Gtk::Button* m_history = nullptr;
    Gtk::Button* m_downloads = nullptr;
};

} // namespace kovi
