#include "ui/web/web_view_container.h"

#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/design/styles.h"
#include "ui/web/web_content.h"
#include "ui/web/web_view_representable.h"
#include "ui/design/symbols.h"
#include "ui/web/web_view_styles.h"

#include <adwaita.h>
#include <gtkmm/image.h>

namespace kovi {

WebViewContainer::WebViewContainer(WebContent& web, const Tab& tab)
    : m_web(web)
    , m_tabId(tab.id)
    , m_badge(tab.id, m_badgeHide)
    , m_errorLayer(Gtk::Orientation::VERTICAL, 16)
{
    add_css_class("kovi-web-view-container");
    set_hexpand(true);
    set_vexpand(true);

    m_page = Gtk::make_managed<WebViewRepresentable>(web, tab.id, tab.url);
    set_child(*m_page);

    // The error overlay: opaque, the full size of the page area, content centred.
    m_errorLayer.add_css_class("kovi-page-error");
    m_errorLayer.set_halign(Gtk::Align::FILL);
    m_errorLayer.set_valign(Gtk::Align::FILL);
    m_errorLayer.set_hexpand(true);
    m_errorLayer.set_vexpand(true);
    auto* column = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 16);
    column->set_halign(Gtk::Align::CENTER);
    column->set_valign(Gtk::Align::CENTER);
    column->set_vexpand(true);
    auto* icon = makeSymbolImage("wifi.exclamationmark", 34);
    icon->add_css_class("kovi-secondary");
    column->append(*icon);
    m_errorTitle.set_text("This page couldn\u2019t load");
    m_errorTitle.add_css_class("kovi-page-error-title");
    column->append(m_errorTitle);
    m_errorMessage.add_css_class("kovi-page-error-message");
    m_errorMessage.add_css_class("kovi-secondary");
    m_errorMessage.set_wrap(true);
    m_errorMessage.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    m_errorMessage.set_justify(Gtk::Justification::CENTER);
    m_errorMessage.set_selectable(false);
    // The message is at most 420 wide.
    GtkWidget* clamp = adw_clamp_new();
    adw_clamp_set_maximum_size(ADW_CLAMP(clamp), 420);
    adw_clamp_set_tightening_threshold(ADW_CLAMP(clamp), 420);
    adw_clamp_set_child(ADW_CLAMP(clamp), GTK_WIDGET(m_errorMessage.gobj()));
    gtk_box_append(column->gobj(), clamp);
    m_tryAgain.set_label("Try Again");
    m_tryAgain.set_halign(Gtk::Align::CENTER);
    applyWebButtonStyle(m_tryAgain);
    m_tryAgain.signal_clicked().connect(sigc::mem_fun(*this, &WebViewContainer::tryAgain));
    column->append(m_tryAgain);
    m_errorLayer.append(*column);
    add_overlay(m_errorLayer);

    // The zoom badge, 20 in from the top-right corner; it takes no clicks.
    m_badgeLabel.add_css_class("kovi-zoom-badge");
    m_badgeLabel.set_halign(Gtk::Align::END);
    m_badgeLabel.set_valign(Gtk::Align::START);
    m_badgeLabel.set_margin_top(20);
    m_badgeLabel.set_margin_end(20);
    m_badgeLabel.set_can_target(false);
    m_badgeLabel.set_can_focus(false);
    add_overlay(m_badgeLabel);

    auto& state = web.state();
    m_connections.add(state.navigationErrorsChanged.connect(sigc::mem_fun(*this, &WebViewContainer::refreshError)));
    m_connections.add(web.notifications().observe(notifications::webViewZoomChanged,
                                                        [this](const Notification& note) { m_badge.handle(note); }));
    m_connections.add(m_badge.changed.connect(sigc::mem_fun(*this, &WebViewContainer::refreshBadge)));
    refreshError();
    refreshBadge();
}

bool WebViewContainer::isErrorShown() const
{
    return m_errorLayer.get_visible();
}

std::string WebViewContainer::errorMessage() const
{
    return m_errorMessage.get_text();
}

void WebViewContainer::refreshError()
{
    const auto& errors = m_web.state().navigationErrors();
    auto it = errors.find(m_tabId);
    bool shown = it != errors.end();
    if (shown)
        m_errorMessage.set_text(it->second);
    m_errorLayer.set_visible(shown);
}

void WebViewContainer::refreshBadge()
{
    m_badgeLabel.set_text(std::to_string(m_badge.zoomPercent()) + "%");
    setClass(m_badgeLabel, "shown", m_badge.isVisible());
}

void WebViewContainer::tryAgain()
{
    // The address the tab holds now: the tab may have moved on since this container was built.
    auto tab = m_web.state().tab(m_tabId);
    if (!tab)
        return;
    m_web.state().setNavigationError(m_tabId, std::nullopt);
    m_web.notifications().post(notifications::webViewNavigate, m_tabId, {{"url", tab->url}});
}

} // namespace kovi
