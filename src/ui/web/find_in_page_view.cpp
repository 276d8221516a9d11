#include "ui/web/find_in_page_view.h"

#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/support/notification_names.h"
#include "ui/design/symbols.h"
#include "ui/web/web_content.h"

#include <sigc++/adaptors/track_obj.h>
#include <glibmm/main.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/image.h>
#include <gtkmm/shortcutcontroller.h>

#include <utility>

namespace kovi {

FindInPageView::FindInPageView(WebContent& web)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 12)
    , m_web(web)
    , m_fieldGroup(Gtk::Orientation::HORIZONTAL, 8)
    , m_steps(Gtk::Orientation::HORIZONTAL, 4)
{
    add_css_class("kovi-find-bar");
    set_halign(Gtk::Align::END);
    set_valign(Gtk::Align::START);

    m_fieldGroup.add_css_class("kovi-find-field");
    m_fieldGroup.set_size_request(220, -1);
    auto* glass = makeSymbolImage("magnifyingglass", 12);
    glass->add_css_class("kovi-secondary");
    m_fieldGroup.append(*glass);
    m_field.set_placeholder_text("Find in page...");
    m_field.set_hexpand(true);
    m_field.set_has_frame(false);
    m_fieldGroup.append(m_field);
    m_counterLabel.add_css_class("kovi-find-counter");
    m_counterLabel.add_css_class("kovi-secondary");
    m_fieldGroup.append(m_counterLabel);
    append(m_fieldGroup);

    for (auto* button : {&m_previous, &m_next}) {
        button->add_css_class("flat");
        button->add_css_class("kovi-find-step");
        button->add_css_class("kovi-secondary");
        button->set_focus_on_click(false);
        m_steps.append(*button);
    }
    m_previous.set_child(*makeSymbolImage("chevron.up", 11));
    m_previous.set_tooltip_text("Previous match");
    m_next.set_child(*makeSymbolImage("chevron.down", 11));
    m_next.set_tooltip_text("Next match");
    append(m_steps);

    m_close.add_css_class("flat");
    m_close.add_css_class("kovi-find-close");
    m_close.set_child(*makeSymbolImage("xmark", 10));
    m_close.set_tooltip_text("Close");
    m_close.set_focus_on_click(false);
    append(m_close);

    m_previous.signal_clicked().connect(sigc::mem_fun(*this, &FindInPageView::findPrevious));
    m_next.signal_clicked().connect(sigc::mem_fun(*this, &FindInPageView::findNext));
    m_close.signal_clicked().connect(sigc::mem_fun(*this, &FindInPageView::close));
    m_field.signal_changed().connect(sigc::mem_fun(*this, &FindInPageView::textChanged));
    m_field.signal_activate().connect(sigc::mem_fun(*this, &FindInPageView::findNext));

    // Escape closes the bar; the key goes through the bar before the field sees it.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(
        [this](guint keyval, guint, Gdk::ModifierType state) {
            auto modifiers = state & (Gdk::ModifierType::SHIFT_MASK | Gdk::ModifierType::CONTROL_MASK
                                      | Gdk::ModifierType::ALT_MASK | Gdk::ModifierType::SUPER_MASK);
            if (keyval == GDK_KEY_Escape && modifiers == Gdk::ModifierType{}) {
                // Closing destroys the bar: not while its own controller is running.
                Glib::signal_idle().connect_once(sigc::track_object([this] { close(); }, *this));
                return true;
            }
            return false;
        },
        false);
    add_controller(keys);

    // Typing goes straight into the field when the bar appears.
    signal_map().connect([this] {
        Glib::signal_idle().connect_once(sigc::track_object([this] { m_field.grab_focus(); }, *this));
    });

    m_connections.add(web.matchesCounted.connect(sigc::mem_fun(*this, &FindInPageView::matchesCounted)));
    m_connections.add(web.pageReplaced.connect([this](const Uuid& tabId) {
        if (m_web.state().activeTabId() == tabId)
            searchAgain();
    }));
    m_connections.add(web.state().activeTabIdChanged.connect(sigc::mem_fun(*this, &FindInPageView::searchAgain)));
    refreshCounter();
}

void FindInPageView::textChanged()
{
    performSearch(m_field.get_text());
}

void FindInPageView::performSearch(const std::string& text)
{
    m_counter.reset();
    refreshCounter();
    BrowserState& state = m_web.state();
    state.setFindInPageQuery(text);
    m_countAwaitedFrom = text.empty() ? std::nullopt : state.activeTabId();
    m_stepsAwaitingCount = 0;
    m_web.notifications().post(notifications::findInPage, state.activeTabId(), {{"query", text}});
}

void FindInPageView::searchAgain()
{
    if (!m_field.get_text().empty())
        performSearch(m_field.get_text());
}

void FindInPageView::findNext()
{
    step(1);
}

void FindInPageView::findPrevious()
{
    step(-1);
}

void FindInPageView::step(int direction)
{
    const auto activeTabId = m_web.state().activeTabId();
    if (m_countAwaitedFrom && m_countAwaitedFrom == activeTabId) {
        m_stepsAwaitingCount += direction;
        return;
    }
    m_web.notifications().post(direction > 0 ? notifications::findInPageNext : notifications::findInPagePrevious,
                               activeTabId);
    if (direction > 0)
        m_counter.next();
    else
        m_counter.previous();
    refreshCounter();
}

void FindInPageView::close()
{
    BrowserState& state = m_web.state();
    state.setIsFindInPageVisible(false);
    state.setFindInPageQuery("");
}

void FindInPageView::matchesCounted(const Uuid& tabId, const std::string& text, int count)
{
    // A count of an earlier text, or of another tab, would be shown against this text.
    if (m_web.state().activeTabId() != tabId || text.empty() || text != m_field.get_text().raw())
        return;
    m_counter.setTotal(count);
    refreshCounter();
    if (m_countAwaitedFrom != tabId)
        return;
    m_countAwaitedFrom.reset();
    int steps = std::exchange(m_stepsAwaitingCount, 0);
    for (; steps > 0; --steps)
        step(1);
    for (; steps < 0; ++steps)
        step(-1);
}

void FindInPageView::refreshCounter()
{
    m_counterLabel.set_text(m_counter.text());
    m_counterLabel.set_visible(!m_field.get_text().empty());
    bool canStep = m_counter.total() > 0;
    m_previous.set_sensitive(canStep);
    m_next.set_sensitive(canStep);
}

} // namespace kovi
