#include "ui/windows/split_pane_chrome.h"

#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "core/support/text.h"
#include "core/windows/split_view_rules.h"
#include "ui/design/styles.h"

namespace kovi {

namespace {

const char* reloadSymbol(const Tab& tab)
{
    return tab.isLoading ? "xmark" : "arrow.clockwise";
}

} // namespace

SplitPaneChrome::SplitPaneChrome(NotificationCenter& notifications, const Tab& tab, bool isActive)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8), m_notifications(notifications), m_tab(tab), m_isActive(!isActive),
      m_back("chevron.left", "kovi-split-nav", "Back"), m_forward("chevron.right", "kovi-split-nav", "Forward"),
      m_reload(reloadSymbol(tab), "kovi-split-nav", "Reload")
{
    add_css_class("kovi-split-pane-chrome");
    set_valign(Gtk::Align::START);
    set_margin_top(10);
    set_margin_start(10);
    set_margin_end(10);
    set_margin_bottom(8); // the page starts below, never under it

    m_back.signal_clicked().connect([this] { post(notifications::webViewGoBack); });
    m_forward.signal_clicked().connect([this] { post(notifications::webViewGoForward); });
    m_reload.signal_clicked().connect([this] { post(notifications::webViewReload); });
    m_buttons.append(m_back);
    m_buttons.append(m_forward);
    m_buttons.append(m_reload);
    append(m_buttons);

    m_title.add_css_class("kovi-split-pane-title");
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_single_line_mode(true);
    m_title.set_xalign(0);
    m_title.set_hexpand(true);
    append(m_title);

    m_title.set_text(text::shownText(splitPaneTitle(tab)));
    m_back.set_sensitive(tab.canGoBack);
    m_forward.set_sensitive(tab.canGoForward);
    update(tab, isActive);
}

void SplitPaneChrome::update(const Tab& tab, bool isActive)
{
    if (tab.url != m_tab.url || tab.title != m_tab.title)
        m_title.set_text(text::shownText(splitPaneTitle(tab)));
    if (tab.canGoBack != m_tab.canGoBack)
        m_back.set_sensitive(tab.canGoBack);
    if (tab.canGoForward != m_tab.canGoForward)
        m_forward.set_sensitive(tab.canGoForward);
    m_reload.setSymbol(reloadSymbol(tab));
    m_reload.set_tooltip_text(tab.isLoading ? "Stop" : "Reload");
    m_tab = tab;
    if (isActive != m_isActive) {
        m_isActive = isActive;
        setClass(*this, "active", isActive);
    }
}

void SplitPaneChrome::post(const char* name)
{
    m_notifications.post(name, m_tab.id);
}

} // namespace kovi
