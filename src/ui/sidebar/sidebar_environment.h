#pragma once

#include "core/model/sidebar_item.h"
#include "core/model/tab.h"
#include "core/sidebar/sidebar_drop.h"
#include "core/support/url.h"
#include "core/support/uuid.h"
#include "ui/sidebar/sidebar_support.h"

#include <functional>
#include <unordered_map>
#include <vector>

namespace Gtk {
class Widget;
}

namespace kovi {

class BrowserState;

// What every row of one sidebar shares: the state, the favicon cache, the hover-preview
// callback, the rows' anchors for the preview bubble and the current shown list for drops.
// Owned by the SidebarView, which outlives its rows.
class SidebarEnvironment {
public:
    explicit SidebarEnvironment(BrowserState& state) : state(state) {}

    BrowserState& state;
    FaviconCache favicons;
    std::function<void(const Uuid& tabId, bool hovering)> onPreviewRequest;
    std::function<void(const Tab&)> openQuickView;
    // The list as shown (kept tabs left out), refreshed with every rebuild of the list.
    std::vector<SidebarItem> shownItems;

    // Rows publish themselves here by tab id so the preview bubble can find them.
    void setAnchor(const Uuid& tabId, Gtk::Widget* row) { m_anchors[tabId] = row; }
    void clearAnchor(const Uuid& tabId, Gtk::Widget* row)
    {
        auto it = m_anchors.find(tabId);
        if (it != m_anchors.end() && it->second == row)
            m_anchors.erase(it);
    }
    Gtk::Widget* anchor(const Uuid& tabId) const
    {
        auto it = m_anchors.find(tabId);
        return it == m_anchors.end() ? nullptr : it->second;
    }

    // Decides a drop with `rule` against the state as it is now and carries it out; returns
    // whether it was taken. Every drop of the sidebar goes through here.
    bool performDrop(const std::function<SidebarDrop(const SidebarDropContext&)>& rule);
    // The last decision, for tests and logs.
    SidebarDrop lastDrop;
    sigc::signal<void(const SidebarDrop&)> dropped;

private:
    std::unordered_map<Uuid, Gtk::Widget*> m_anchors;
};

} // namespace kovi
