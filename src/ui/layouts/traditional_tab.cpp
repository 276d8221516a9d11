#include "ui/layouts/traditional_tab.h"

#include "core/support/text.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/design/tooltips.h"

#include <gtkmm/eventcontrollermotion.h>

#include <algorithm>

namespace kovi {

TraditionalTab::TraditionalTab(const Tab& tab, std::function<void()> onClose)
    : m_tabId(tab.id)
{
    add_css_class("kovi-htab");
    set_valign(Gtk::Align::CENTER);

    m_indicator.add_css_class("kovi-htab-drop-indicator");
    m_indicator.set_size_request(3, 20);
    m_indicator.set_valign(Gtk::Align::CENTER);
    m_indicator.set_visible(false);
    m_indicator.set_can_target(false);
    m_indicator.set_parent(*this);

    m_body.add_css_class("kovi-htab-body");
    m_body.append(m_favicon);
    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_single_line_mode(true);
    m_title.set_xalign(0);
    m_title.set_width_chars(1);
    m_title.add_css_class("kovi-htab-title");
    m_close.set_has_frame(false);
    m_close.add_css_class("kovi-htab-close");
    auto* x = makeSymbolImage("xmark", 8);
    m_close.set_child(*x);
    m_close.set_focus_on_click(false);
    m_close.signal_clicked().connect([onClose = std::move(onClose)] {
        if (onClose)
            onClose();
    });
    m_body.append(m_titleArea);
    m_body.set_parent(*this);

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { setHovered(true); });
    motion->signal_leave().connect([this] { setHovered(false); });
    add_controller(motion);

    signal_destroy().connect(sigc::mem_fun(*this, &TraditionalTab::release));
    update(tab);
    refreshLook();
}

TraditionalTab::~TraditionalTab()
{
    release();
}

void TraditionalTab::release()
{
    m_menu.reset();
    if (m_indicator.get_parent())
        m_indicator.unparent();
    if (m_body.get_parent())
        m_body.unparent();
}

void TraditionalTab::update(const Tab& tab)
{
    if (m_titleText != tab.title) {
        m_titleText = tab.title;
        m_title.set_text(text::shownText(tab.title));
        // The title the tab cuts short, as far as a tooltip shows one; none for an empty one.
        setTextTooltip(*this, tab.title);
    }
    m_favicon.update(tab);
}

void TraditionalTab::setActive(bool active)
{
    if (active == m_isActive)
        return;
    m_isActive = active;
    refreshLook();
}

void TraditionalTab::setHovered(bool hovered)
{
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    refreshLook();
}

void TraditionalTab::setDragTarget(bool target)
{
    if (target != m_indicator.get_visible())
        m_indicator.set_visible(target);
}

void TraditionalTab::setDragged(bool dragged)
{
    setClass(*this, "dragged", dragged);
}

void TraditionalTab::refreshLook()
{
    setClass(m_body, "active", m_isActive);
    setClass(m_body, "hovered", m_isHovered && !m_isActive);
    m_titleArea.setShown(isCloseShown());
}

void TraditionalTab::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                   int& minimumBaseline, int& naturalBaseline) const
{
    minimumBaseline = -1;
    naturalBaseline = -1;
    int bodyMin = 0, bodyNat = 0, b1 = -1, b2 = -1;
    const int indicator = m_indicator.get_visible() ? indicatorWidth : 0;
    if (orientation == Gtk::Orientation::HORIZONTAL) {
        m_body.measure(orientation, -1, bodyMin, bodyNat, b1, b2);
        // Room for the close button whether or not it shows: a hover never resizes the tab.
        if (!m_titleArea.isShown())
            bodyNat += m_titleArea.room();
        // The tab's own measure: a long title never widens it past the maximum.
        minimum = std::max(bodyMin, minimumWidth) + indicator;
        natural = std::clamp(bodyNat, std::max(bodyMin, minimumWidth), std::max(bodyMin, maximumWidth)) + indicator;
        return;
    }
    m_body.measure(orientation, forSize < 0 ? -1 : std::max(0, forSize - indicator), bodyMin, bodyNat, b1, b2);
    int indMin = 0, indNat = 0;
    m_indicator.measure(orientation, -1, indMin, indNat, b1, b2);
    minimum = std::max(bodyMin, indMin);
    natural = std::max(bodyNat, indNat);
}

void TraditionalTab::size_allocate_vfunc(int width, int height, int)
{
    const int indicator = m_indicator.get_visible() ? indicatorWidth : 0;
    const bool rtl = get_direction() == Gtk::TextDirection::RTL;
    if (indicator) {
        const int x = rtl ? width - 3 : 0;
        m_indicator.size_allocate(Gtk::Allocation(x, (height - 20) / 2, 3, 20), -1);
    }
    const int bodyWidth = std::max(0, width - indicator);
    m_body.size_allocate(Gtk::Allocation(rtl ? 0 : indicator, 0, bodyWidth, height), -1);
    // An open menu follows the tab when the strip moves.
    if (m_menu && m_menu->popover() && m_menu->popover()->get_visible())
        m_menu->popover()->present();
}

} // namespace kovi
