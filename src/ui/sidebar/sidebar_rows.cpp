#include "ui/sidebar/sidebar_rows.h"

#include "core/sidebar/sidebar_drop.h"
#include "core/sidebar/sidebar_text.h"
#include "core/state/browser_state.h"
#include "ui/design/drag_preview.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/design/tooltips.h"
#include "ui/sidebar/sidebar_environment.h"

#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>

#include <gtk/gtk.h>

namespace kovi {

namespace {

// Right-click opens the row's menu at the pointer.
void onSecondaryClick(Gtk::Widget& widget, std::function<void(double, double)> show)
{
    auto click = Gtk::GestureClick::create();
    click->set_button(3);
    click->signal_pressed().connect([show = std::move(show)](int, double x, double y) { show(x, y); });
    widget.add_controller(click);
}

} // namespace

// ---- Tab row -----------------------------------------------------------------------------------

SidebarTabRow::SidebarTabRow(SidebarEnvironment& env, Variant variant, const Tab& tab, bool isActive, int index,
                             std::optional<Uuid> folderId)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, variant == Variant::keep ? 8 : 10)
    , m_env(env)
    , m_variant(variant)
    , m_tab(tab)
    , m_isActive(isActive)
    , m_index(index)
    , m_folderId(folderId)
    , m_titleArea(m_title, m_actions, get_spacing())
    , m_menu(*this, "row", env.state, env.openQuickView)
{
    add_css_class("sidebar-tab-row");
    add_css_class(variant == Variant::keep ? "keep" : variant == Variant::topLevel ? "top-level" : "in-folder");
    set_focusable(false);

    const int iconSize = variant == Variant::topLevel ? 18 : 16;
    m_icon.set_size_request(iconSize, iconSize);
    m_icon.set_pixel_size(iconSize);
    m_icon.add_css_class("sidebar-favicon");
    if (variant == Variant::keep) {
        m_iconStack.set_child(m_icon);
        m_spinner = Gtk::make_managed<Gtk::Spinner>();
        m_spinner->set_size_request(7, 7);
        m_spinner->set_halign(Gtk::Align::CENTER);
        m_spinner->set_valign(Gtk::Align::CENTER);
        m_spinner->set_visible(false);
        m_iconStack.add_overlay(*m_spinner);
        append(m_iconStack);
    } else {
        append(m_icon);
    }

    m_title.set_ellipsize(Pango::EllipsizeMode::END);
    m_title.set_single_line_mode(true);
    m_title.set_xalign(0);
    m_title.add_css_class("sidebar-tab-title");
    m_actions.set_spacing(4);
    append(m_titleArea);
    // Made on first hover (most rows of a long list are never hovered; "Keep" has few), the
    // buttons then stay in place to take clicks.
    if (variant == Variant::keep)
        makeActionButtons();

    auto click = Gtk::GestureClick::create();
    click->set_button(1);
    click->signal_released().connect([this](int, double x, double y) {
        // A press the toolkit gave the row while the buttons were first appearing under the
        // pointer belongs to the button now there.
        for (Gtk::Widget* w = pick(x, y); w && w != this; w = w->get_parent()) {
            if (w == m_pin || w == m_close) {
                w->activate();
                return;
            }
        }
        m_env.state.setActiveTabId(m_tab.id);
    });
    add_controller(click);
    onSecondaryClick(*this, [this](double x, double y) {
        const auto place = m_variant == Variant::keep       ? TabMenu::Place::keep
                           : m_variant == Variant::inFolder ? TabMenu::Place::inFolder
                                                            : TabMenu::Place::listed;
        m_menu.popup(m_tab, place, x, y);
    });

    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { setHovered(true); });
    motion->signal_leave().connect([this] { setHovered(false); });
    add_controller(motion);

    if (variant != Variant::keep) {
        attachDragSource(
            *this, [this] { return std::optional<DraggedItem>(DraggedItem{m_tab.id, false}); },
            [this]() -> Glib::RefPtr<Gdk::Paintable> {
                return renderDragPreview(sidebarDisplayTitle(m_tab), m_env.favicons.texture(m_tab.favicon), false,
                                         get_scale_factor());
            },
            [this](bool dragging) {
                m_isDragging = dragging;
                setClass(*this, "dragging", dragging);
                if (!dragging && onDragFinished)
                    onDragFinished();
            });
        attachDropTarget(
            *this, [this](const DraggedItem& item, double, double y) { return handleDrop(item, y); },
            [this](bool targeted) { setClass(*this, "targeted", targeted); });
        m_env.setAnchor(m_tab.id, this);
    }

    Tab initial = m_tab;
    m_tab.title = std::string(1, '\x01'); // forces the first update to fill every widget
    m_tab.isLoading = !initial.isLoading;
    m_tab.favicon = Bytes{0};
    m_isActive = !isActive;
    update(initial, isActive, index);
    refreshActions();
}

SidebarTabRow::~SidebarTabRow()
{
    m_env.clearAnchor(m_tab.id, this);
    if (m_isHovered && m_env.onPreviewRequest && m_variant != Variant::keep)
        m_env.onPreviewRequest(m_tab.id, false);
}

void SidebarTabRow::update(const Tab& tab, bool isActive, int index)
{
    m_index = index;
    if (tab.title != m_tab.title || tab.url != m_tab.url)
        m_title.set_text(sidebarDisplayTitle(tab));
    if (tab.favicon != m_tab.favicon) {
        auto texture = m_env.favicons.texture(tab.favicon);
        if (texture)
            m_icon.set(texture);
        else
            setSymbol(m_icon, "globe", m_variant == Variant::topLevel ? 14 : 12);
        setClass(m_icon, "symbol", !texture);
    }
    if (tab.isLoading != m_tab.isLoading && m_spinner) {
        m_spinner->set_visible(tab.isLoading);
        m_spinner->set_spinning(tab.isLoading);
        m_icon.set_opacity(tab.isLoading ? 0.5 : 1.0);
    }
    if (isActive != m_isActive) {
        setClass(*this, "active", isActive);
        gtk_accessible_update_state(GTK_ACCESSIBLE(gobj()), GTK_ACCESSIBLE_STATE_SELECTED, isActive ? TRUE : FALSE, -1);
        if (isActive)
            set_state_flags(Gtk::StateFlags::SELECTED, false);
        else
            unset_state_flags(Gtk::StateFlags::SELECTED);
    }
    const bool pinnedChanged = tab.isPinned != m_tab.isPinned;
    if (tab.id != m_tab.id && m_variant != Variant::keep) {
        m_env.clearAnchor(m_tab.id, this);
        m_env.setAnchor(tab.id, this);
    }
    m_tab = tab;
    m_isActive = isActive;
    if (pinnedChanged)
        refreshActions();
}

void SidebarTabRow::setHovered(bool hovered)
{
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    setClass(*this, "hovered", hovered);
    refreshActions();
    if (m_variant != Variant::keep && m_env.onPreviewRequest)
        m_env.onPreviewRequest(m_tab.id, hovered);
}

void SidebarTabRow::makeActionButtons()
{
    auto make = [this](const char* symbol, const char* tooltip) {
        auto* button = Gtk::make_managed<Gtk::Button>();
        button->set_icon_name(sidebarIconName(symbol));
        button->set_tooltip_text(tooltip);
        button->add_css_class("sidebar-row-action");
        button->set_has_frame(false);
        button->set_focus_on_click(false);
        button->set_valign(Gtk::Align::CENTER);
        m_actions.append(*button);
        return button;
    };
    if (m_variant != Variant::keep) {
        m_pin = make("pin", "Pin to Favorites");
        m_pin->signal_clicked().connect([this] { m_env.state.pinTab(m_tab.id); });
    }
    m_close = make("xmark", "Close Tab");
    m_close->signal_clicked().connect([this] {
        m_closedByItsButton = m_variant == Variant::keep;
        m_env.state.removeTab(m_tab.id);
    });
}

void SidebarTabRow::refreshActions()
{
    if (!m_close && !m_isHovered)
        return;
    if (!m_close)
        makeActionButtons();
    if (m_pin)
        m_pin->set_visible(!m_tab.isPinned);
    m_titleArea.setShown(m_isHovered);
}

bool SidebarTabRow::handleDrop(const DraggedItem& item, double y)
{
    const Uuid rowTab = m_tab.id;
    if (m_variant == Variant::topLevel) {
        const int index = m_index;
        return m_env.performDrop(
            [&](const SidebarDropContext& c) { return decideTabRowDrop(item, rowTab, index, y, c); });
    }
    const Uuid folder = m_folderId.value_or(Uuid());
    return m_env.performDrop(
        [&](const SidebarDropContext& c) { return decideFolderTabRowDrop(item, folder, rowTab, c); });
}

// ---- Pinned tile -------------------------------------------------------------------------------

PinnedTabIcon::PinnedTabIcon(SidebarEnvironment& env, const Tab& tab, bool isActive)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL), m_env(env), m_tab(tab), m_isActive(isActive),
      m_menu(*this, "tile", env.state)
{
    add_css_class("sidebar-pinned-tile");
    set_size_request(-1, 52);
    set_hexpand(true);
    set_halign(Gtk::Align::FILL);
    m_icon.set_pixel_size(22);
    m_icon.set_hexpand(true);
    m_icon.set_halign(Gtk::Align::CENTER);
    m_icon.set_valign(Gtk::Align::CENTER);
    m_letter.add_css_class("sidebar-pinned-letter");
    m_letter.set_hexpand(true);
    m_letter.set_halign(Gtk::Align::CENTER);
    append(m_icon);
    append(m_letter);
    setTextTooltip(*this, sidebarDisplayTitle(tab));
    setClass(*this, "active", isActive);
    refreshIcon();

    auto click = Gtk::GestureClick::create();
    click->set_button(1);
    click->signal_released().connect([this](int, double, double) { m_env.state.setActiveTabId(m_tab.id); });
    add_controller(click);
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { add_css_class("hovered"); });
    motion->signal_leave().connect([this] { remove_css_class("hovered"); });
    add_controller(motion);
    onSecondaryClick(*this, [this](double x, double y) { m_menu.popup(m_tab, TabMenu::Place::pinned, x, y); });
}

PinnedTabIcon::~PinnedTabIcon() = default;

void PinnedTabIcon::update(const Tab& tab, bool isActive)
{
    const bool iconChanged = tab.favicon != m_tab.favicon || tab.title != m_tab.title || tab.url != m_tab.url;
    if (isActive != m_isActive)
        setClass(*this, "active", isActive);
    m_tab = tab;
    m_isActive = isActive;
    if (iconChanged) {
        setTextTooltip(*this, sidebarDisplayTitle(tab));
        refreshIcon();
    }
}

void PinnedTabIcon::refreshIcon()
{
    auto texture = m_env.favicons.texture(m_tab.favicon);
    m_icon.set_visible(static_cast<bool>(texture));
    m_letter.set_visible(!texture);
    if (texture)
        m_icon.set(texture);
    else
        m_letter.set_text(pinnedTabLetter(m_tab));
}

// ---- Drop zone ---------------------------------------------------------------------------------

DropZone::DropZone(int idleHeight, int index, std::function<bool(const DraggedItem&, int)> drop)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL), m_idleHeight(idleHeight), m_index(index), m_drop(std::move(drop))
{
    add_css_class("sidebar-drop-zone");
    set_size_request(-1, idleHeight);
    set_hexpand(true);
    m_bar.add_css_class("sidebar-drop-bar");
    m_bar.set_size_request(-1, 4);
    m_bar.set_hexpand(true);
    m_bar.set_valign(Gtk::Align::CENTER);
    append(m_bar);
    attachDropTarget(
        *this, [this](const DraggedItem& item, double, double) { return m_drop(item, m_index); },
        [this](bool targeted) { setTargeted(targeted); });
}

void DropZone::setTargeted(bool targeted)
{
    m_isTargeted = targeted;
    setClass(*this, "targeted", targeted);
    // The zone keeps its height (so the list does not jump under the pointer); the thinner
    // accent bar inside it shows the target.
    setClass(m_bar, "targeted", targeted);
}

} // namespace kovi
