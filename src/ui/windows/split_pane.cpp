#include "ui/windows/split_pane.h"

#include "core/model/dragged_item.h"
#include "core/state/browser_state.h"
#include "core/support/notification_center.h"
#include "core/windows/split_view_rules.h"
#include "ui/base/app_context.h"
#include "ui/design/styles.h"
#include "ui/web/web_view_container.h"

namespace kovi {

SplitPane::SplitPane(AppContext& ctx, SplitViewSide side, const Tab& tab, bool isActive)
    : m_ctx(ctx), m_side(side), m_tab(tab), m_chrome(ctx.notifications, tab, isActive)
{
    add_css_class("kovi-split-pane");
    set_overflow(Gtk::Overflow::HIDDEN);
    set_hexpand(true);
    set_vexpand(true);

    if (ctx.web) {
        // Takes the tab's view from the pool (or builds it): a page already open is moved here
        // as it is.
        m_page = Gtk::make_managed<WebViewContainer>(*ctx.web, tab);
    } else {
        auto* blank = Gtk::make_managed<Gtk::Box>();
        blank->add_css_class("kovi-content-bg");
        m_page = blank;
    }
    m_page->set_vexpand(true);
    m_column.append(m_chrome);
    m_column.append(*m_page);
    set_child(m_column);

    for (Gtk::Box* frame : {&m_border, &m_dropHighlight}) {
        frame->set_can_target(false);
        frame->set_can_focus(false);
        add_overlay(*frame);
    }
    m_border.add_css_class("kovi-split-pane-border");
    m_dropHighlight.add_css_class("kovi-split-pane-drop");

    m_click = Gtk::GestureClick::create();
    m_click->set_button(GDK_BUTTON_PRIMARY);
    m_click->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_click->signal_pressed().connect([this](int count, double x, double y) {
        if (count == 1)
            pressed(x, y);
    });
    add_controller(m_click);

    // Only drags that carry the sidebar's own payload type: those never reach the page, whatever
    // the drop decides. Text from other programs passes on to the page.
    m_dropTarget = Gtk::DropTarget::create(G_TYPE_STRING, Gdk::DragAction::MOVE | Gdk::DragAction::COPY);
    m_dropTarget->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    m_dropTarget->signal_accept().connect(
        [](const Glib::RefPtr<Gdk::Drop>& drop) {
            auto formats = drop->get_formats();
            return formats->contain_mime_type(DraggedItem::jsonMimeType) && formats->contain_gtype(G_TYPE_STRING);
        },
        false);
    m_dropTarget->signal_enter().connect(
        [this](double, double) {
            setDropTargeted(true);
            return Gdk::DragAction::MOVE;
        },
        false);
    m_dropTarget->signal_leave().connect([this] { setDropTargeted(false); });
    m_dropTarget->signal_drop().connect(
        [this](const Glib::ValueBase& value, double, double) {
            setDropTargeted(false);
            if (!G_VALUE_HOLDS_STRING(value.gobj()))
                return false;
            const char* text = g_value_get_string(value.gobj());
            return dropOnSplitPane(m_ctx.state, m_side, text ? text : "").accepted();
        },
        false);
    add_controller(m_dropTarget);

    m_isActive = !isActive;
    update(tab, isActive);
}

SplitPane::~SplitPane() = default;

void SplitPane::update(const Tab& tab, bool isActive)
{
    m_tab = tab;
    m_chrome.update(tab, isActive);
    if (isActive != m_isActive) {
        m_isActive = isActive;
        setClass(m_border, "active", isActive);
    }
}

void SplitPane::pressed(double x, double y)
{
    // The header's buttons act on their own; a press on them does not pick the pane.
    if (Gtk::Widget* hit = pick(x, y, Gtk::PickFlags::DEFAULT); hit && hit != &m_chrome) {
        for (Gtk::Widget* w = hit; w && w != this; w = w->get_parent()) {
            if (dynamic_cast<NavButton*>(w))
                return;
        }
    }
    selectSplitPane(m_ctx.state, m_side);
}

void SplitPane::setDropTargeted(bool targeted)
{
    if (targeted == m_isDropTargeted)
        return;
    m_isDropTargeted = targeted;
    setClass(m_dropHighlight, "targeted", targeted);
}

} // namespace kovi
