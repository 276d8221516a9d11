#pragma once

#include "core/commandbar/omnibox_engine.h"
#include "core/sidebar/address_field_model.h"
#include "core/sidebar/browser_address_field_host.h"
#include "core/support/main_loop_delayed_task.h"
#include "core/support/scoped_connections.h"
#include "ui/sidebar/sidebar_support.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>

#include <memory>
#include <vector>

namespace kovi {

class AppearanceManager;
class BookmarkStar;
class BrowserLibrary;
class BrowserState;
class FaviconCache;
class HttpClient;
class NotificationCenter;
class SidebarHost;

// The copy-link button: copies the address and shows a check mark for a second.
class CopyLinkButton : public Gtk::Button {
public:
    CopyLinkButton();
    void setUrl(std::optional<std::string> url) { m_url = std::move(url); }
    bool isShowingCopied() const { return m_copied.isPending(); }

private:
    std::optional<std::string> m_url;
    Gtk::Image m_image;
    MainLoopDelayedTask m_copied;
};

// The address field under the top bar: the active page's host at rest, a search panel with
// suggestions while editing. The behaviour is AddressFieldModel's; this view mirrors it.
class SidebarAddressBar : public Gtk::Box {
public:
    // Without a library the field has no bookmark star.
    SidebarAddressBar(BrowserState& state, AppearanceManager& appearance, NotificationCenter& notifications,
                      SidebarHost& host, HttpClient& http, FaviconCache& favicons, std::string suggestionBaseUrl,
                      BrowserLibrary* library = nullptr);
    ~SidebarAddressBar() override;

    AddressFieldModel& model() { return *m_model; }
    Gtk::Entry& entry() { return m_entry; }
    Gtk::Widget& collapsedBar() { return m_collapsed; }
    Gtk::Label& hostLabel() { return m_hostLabel; }
    CopyLinkButton& copyButton() { return m_copy; }
    BookmarkStar* bookmarkStar() const { return m_star; }
    int suggestionRowCount() const { return static_cast<int>(m_rows.size()); }
    Gtk::Widget* suggestionRow(int index) const;

    // Up, Down and Escape from the sidebar's key handler: whether they were consumed.
    bool handleKey(AddressFieldModel::Key key) { return m_model->handleKey(key); }

private:
    void refreshCollapsed();
    void refreshEditing();
    void refreshSuggestions();
    void refreshSelection();
    void refreshSpaceColor();
    Gtk::Widget* makeRow(const OmniboxMatch& match, int index);

    BrowserState& m_state;
    AppearanceManager& m_appearance;
    FaviconCache& m_favicons;
    OmniboxEngine m_engine;
    std::unique_ptr<BrowserAddressFieldHost> m_host;
    MainLoopDelayedTask m_debounce;
    MainLoopDelayedTask m_hop;
    MainLoopDelayedTask m_focusLater;
    MainLoopDelayedTask m_execute;
    std::unique_ptr<AddressFieldModel> m_model;

    Gtk::Stack m_stack;
    Gtk::Box m_collapsed;
    Gtk::Image m_collapsedIcon;
    Gtk::Label m_hostLabel;
    Gtk::Box m_starSlot;
    BookmarkStar* m_star = nullptr;
    CopyLinkButton m_copy;

    Gtk::Box m_panel;
    Gtk::Box m_fieldRow;
    Gtk::Image m_fieldIcon;
    Gtk::Entry m_entry;
    Gtk::ScrolledWindow m_scroller;
    Gtk::Box m_list;
    std::vector<Gtk::Widget*> m_rows;
    std::vector<Uuid> m_shownIds;
    bool m_settingText = false;
    ScopedConnections m_connections; // last: dropped before the members its slots use
};

} // namespace kovi
