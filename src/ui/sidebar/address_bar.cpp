#include "ui/sidebar/address_bar.h"

#include "core/settings/appearance_manager.h"
#include "core/sidebar/sidebar_text.h"
#include "core/state/browser_state.h"
#include "core/support/text.h"
#include "ui/base/sidebar_host.h"
#include "ui/design/space_palette.h"
#include "ui/design/styles.h"
#include "ui/design/symbols.h"
#include "ui/library/bookmark_star.h"

#include <gdkmm/clipboard.h>
#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/root.h>
#include <glibmm/main.h>

namespace kovi {

namespace {

const char* symbolForType(OmniboxMatchType type)
{
    switch (type) {
    case OmniboxMatchType::openTab: return "square.on.square";
    case OmniboxMatchType::historyURL:
    case OmniboxMatchType::zeroSuggest: return "clock";
    case OmniboxMatchType::urlWhatYouTyped: return "globe";
    case OmniboxMatchType::searchSuggestion:
    case OmniboxMatchType::verbatimSearch: return "magnifyingglass";
    }
    return "globe";
}

void addHover(Gtk::Widget& widget)
{
    auto motion = Gtk::EventControllerMotion::create();
    Gtk::Widget* target = &widget;
    motion->signal_enter().connect([target](double, double) { target->add_css_class("hovered"); });
    motion->signal_leave().connect([target] { target->remove_css_class("hovered"); });
    widget.add_controller(motion);
}

} // namespace

// ---- Copy button -------------------------------------------------------------------------------

CopyLinkButton::CopyLinkButton()
{
    add_css_class("sidebar-copy-link");
    set_has_frame(false);
    set_focus_on_click(false);
    set_valign(Gtk::Align::CENTER);
    set_tooltip_text("Copy URL");
    setSymbol(m_image, "doc.on.doc", 11);
    set_child(m_image);
    addHover(*this);
    signal_clicked().connect([this] {
        if (!m_url)
            return;
        get_clipboard()->set_text(*m_url);
        setSymbol(m_image, "checkmark", 11);
        add_css_class("copied");
        m_copied.start(1.0, [this] {
            setSymbol(m_image, "doc.on.doc", 11);
            remove_css_class("copied");
        });
    });
}

// ---- Address bar -------------------------------------------------------------------------------

SidebarAddressBar::SidebarAddressBar(BrowserState& state, AppearanceManager& appearance,
                                     NotificationCenter& notifications, SidebarHost& host, HttpClient& http,
                                     FaviconCache& favicons, std::string suggestionBaseUrl, BrowserLibrary* library)
    : Gtk::Box(Gtk::Orientation::VERTICAL)
    , m_state(state)
    , m_appearance(appearance)
    , m_favicons(favicons)
    , m_engine(http, std::move(suggestionBaseUrl))
{
    add_css_class("sidebar-address");
    m_host = std::make_unique<BrowserAddressFieldHost>(
        state, notifications, m_engine, [&host](bool visible) { host.setIsSidebarVisible(visible); },
        [&host](bool locked) { host.setIsInteractionLocked(locked); });
    m_model = std::make_unique<AddressFieldModel>(*m_host, m_debounce, m_hop);

    // Collapsed bar.
    m_collapsed.set_spacing(10);
    m_collapsed.add_css_class("sidebar-address-collapsed");
    m_collapsedIcon.set_size_request(16, 16);
    m_collapsedIcon.add_css_class("sidebar-favicon");
    m_collapsed.append(m_collapsedIcon);
    m_hostLabel.set_xalign(0);
    m_hostLabel.set_hexpand(true);
    m_hostLabel.set_ellipsize(Pango::EllipsizeMode::END);
    m_hostLabel.add_css_class("sidebar-address-host");
    m_collapsed.append(m_hostLabel);
    m_starSlot.add_css_class("sidebar-star-slot");
    m_starSlot.set_valign(Gtk::Align::CENTER);
    if (library) {
        m_star = Gtk::make_managed<BookmarkStar>(state, *library);
        m_starSlot.append(*m_star);
    }
    m_collapsed.append(m_starSlot);
    m_collapsed.append(m_copy);
    auto tap = Gtk::GestureClick::create();
    tap->set_button(1);
    tap->signal_released().connect([this](int, double x, double y) {
        // The copy button and the star handle their own clicks.
        for (Gtk::Widget* w = m_collapsed.pick(x, y); w; w = w->get_parent()) {
            if (w == &m_copy || w == &m_starSlot)
                return;
        }
        m_model->beginEditing();
    });
    m_collapsed.add_controller(tap);
    m_stack.add(m_collapsed, "collapsed");

    // Editing panel.
    m_panel.set_orientation(Gtk::Orientation::VERTICAL);
    m_panel.add_css_class("sidebar-address-panel");
    m_fieldRow.set_spacing(10);
    m_fieldRow.add_css_class("sidebar-address-field");
    m_fieldIcon.set_size_request(18, 18);
    m_fieldRow.append(m_fieldIcon);
    m_entry.set_placeholder_text(addressPlaceholder);
    m_entry.set_hexpand(true);
    m_entry.set_has_frame(false);
    m_entry.add_css_class("sidebar-address-entry");
    m_entry.set_input_purpose(Gtk::InputPurpose::URL);
    m_fieldRow.append(m_entry);
    m_panel.append(m_fieldRow);
    m_scroller.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    m_scroller.set_max_content_height(320);
    m_scroller.set_propagate_natural_height(true);
    m_list.set_orientation(Gtk::Orientation::VERTICAL);
    m_list.set_spacing(2);
    m_list.add_css_class("sidebar-suggestions");
    m_scroller.set_child(m_list);
    m_scroller.set_visible(false);
    m_panel.append(m_scroller);
    m_stack.add(m_panel, "panel");
    m_stack.set_vhomogeneous(false);
    m_stack.set_interpolate_size(true);
    append(m_stack);

    m_entry.signal_changed().connect([this] {
        if (!m_settingText)
            m_model->setText(m_entry.get_text());
    });
    m_entry.signal_activate().connect([this] { m_model->submit(); });
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect([this] { m_model->focusChanged(true); });
    focus->signal_leave().connect([this] { m_model->focusChanged(false); });
    m_entry.add_controller(focus);

    m_model->textChanged.connect([this] {
        m_settingText = true;
        m_entry.set_text(m_model->text());
        m_settingText = false;
    });
    m_model->editingChanged.connect([this] { refreshEditing(); });
    m_model->suggestionsChanged.connect([this] { refreshSuggestions(); });
    m_model->selectAllRequested.connect([this] {
        // After the panel is shown and focused, on the next turn of the loop.
        m_focusLater.start(0, [this] {
            m_entry.grab_focus();
            m_entry.select_region(0, -1);
        });
    });

    m_connections.add(m_state.activeTabIdChanged.connect([this] {
        m_model->activeTabChanged();
        refreshCollapsed();
    }));
    m_connections.add(m_state.tabsChanged.connect([this] { refreshCollapsed(); }));
    m_connections.add(m_state.currentSpaceIdChanged.connect([this] { refreshSpaceColor(); }));
    m_connections.add(m_state.spacesChanged.connect([this] { refreshSpaceColor(); }));
    m_connections.add(m_appearance.isDarkModeChanged.connect([this] { refreshCollapsed(); }));

    refreshCollapsed();
    refreshSpaceColor();
    m_model->sidebarShown();
}

SidebarAddressBar::~SidebarAddressBar()
{
    m_connections.clear();
    m_model.reset(); // before the tasks and host it uses
}

void SidebarAddressBar::refreshCollapsed()
{
    auto tab = m_state.activeTab();
    m_collapsedIcon.set_visible(tab.has_value());
    m_copy.set_visible(tab.has_value());
    m_starSlot.set_visible(tab.has_value());
    setClass(m_hostLabel, "placeholder", !tab);
    m_hostLabel.set_text(collapsedAddressText(tab ? &*tab : nullptr));
    auto texture = tab ? m_favicons.texture(tab->favicon) : Glib::RefPtr<Gdk::Texture>();
    if (texture) {
        m_collapsedIcon.set(texture);
        m_fieldIcon.set(texture);
    } else {
        setSymbol(m_collapsedIcon, "globe", 12);
        setSymbol(m_fieldIcon, tab ? "globe" : "magnifyingglass", 12);
    }
    m_copy.setUrl(tab ? std::optional<std::string>(tab->url.string()) : std::nullopt);
    setClass(m_collapsed, "dark", m_appearance.isDarkMode());
}

void SidebarAddressBar::refreshSpaceColor()
{
    SpaceColor color = SpaceColor::blue;
    if (auto id = m_state.currentSpaceId()) {
        if (auto space = m_state.space(*id))
            color = space->color;
    }
    setSpaceColorClass(m_fieldRow, SpaceColorRole::border, color);
    setSpaceColorClass(m_list, SpaceColorRole::highlight, color);
}

void SidebarAddressBar::refreshEditing()
{
    const bool editing = m_model->isEditing();
    // Done editing with the keys still here (Enter, Escape): the stack would hand them to the
    // star or the copy button, showing a focus ring. Let go, so the window gives them to the page.
    if (auto* root = get_root(); root && !editing) {
        if (Gtk::Widget* focus = root->get_focus(); focus && focus->is_ancestor(m_panel))
            root->unset_focus();
    }
    m_stack.set_visible_child(editing ? "panel" : "collapsed");
    if (editing)
        m_entry.grab_focus();
    refreshSuggestions();
}

Gtk::Widget* SidebarAddressBar::suggestionRow(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_rows[static_cast<std::size_t>(index)];
}

Gtk::Widget* SidebarAddressBar::makeRow(const OmniboxMatch& match, int index)
{
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 12);
    row->add_css_class("sidebar-suggestion");
    row->add_css_class("space-highlight-row");
    row->set_focusable(false);
    auto* icon = Gtk::make_managed<Gtk::Image>();
    icon->set_size_request(18, 18);
    if (auto texture = m_favicons.texture(match.favicon))
        icon->set(texture);
    else
        setSymbol(*icon, match.url ? "globe" : symbolForType(match.type), 13);
    row->append(*icon);
    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 1);
    texts->set_hexpand(true);
    auto* title = Gtk::make_managed<Gtk::Label>(text::shownText(match.title));
    title->set_xalign(0);
    title->set_ellipsize(Pango::EllipsizeMode::END);
    title->add_css_class("sidebar-suggestion-title");
    texts->append(*title);
    if (match.subtitle && !match.subtitle->empty()) {
        auto* subtitle = Gtk::make_managed<Gtk::Label>(text::shownText(*match.subtitle));
        subtitle->set_xalign(0);
        subtitle->set_ellipsize(Pango::EllipsizeMode::END);
        subtitle->add_css_class("sidebar-suggestion-subtitle");
        texts->append(*subtitle);
    }
    row->append(*texts);
    if (match.type == OmniboxMatchType::openTab) {
        auto* badge = Gtk::make_managed<Gtk::Label>("Switch to Tab");
        badge->add_css_class("sidebar-switch-badge");
        badge->add_css_class("space-highlight-badge");
        badge->set_valign(Gtk::Align::CENTER);
        row->append(*badge);
    }
    addHover(*row);
    auto click = Gtk::GestureClick::create();
    click->set_button(1);
    // Rows never take focus, so the field keeps it and editing goes on until the choice runs.
    click->signal_released().connect([this, index](int, double, double) {
        // Run after the click: choosing removes this row.
        m_execute.start(0, [this, index] {
            const auto& list = m_model->suggestions();
            if (m_model->isEditing() && index < static_cast<int>(list.size()))
                m_model->executeSuggestion(list[static_cast<std::size_t>(index)]);
        });
    });
    row->add_controller(click);
    return row;
}

void SidebarAddressBar::refreshSuggestions()
{
    const auto& list = m_model->suggestions();
    std::vector<Uuid> ids;
    if (m_model->isEditing()) {
        for (const OmniboxMatch& match : list)
            ids.push_back(match.id);
    }
    m_scroller.set_visible(m_model->showSuggestions());
    if (ids == m_shownIds) {
        refreshSelection(); // only the selection moved
        return;
    }
    m_shownIds = std::move(ids);
    for (Gtk::Widget* row : m_rows)
        m_list.remove(*row);
    m_rows.clear();
    if (m_model->isEditing()) {
        for (std::size_t i = 0; i < list.size(); ++i) {
            Gtk::Widget* row = makeRow(list[i], static_cast<int>(i));
            m_list.append(*row);
            m_rows.push_back(row);
        }
    }
    m_scroller.set_visible(m_model->showSuggestions());
    refreshSelection();
}

void SidebarAddressBar::refreshSelection()
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        setClass(*m_rows[i], "selected", static_cast<int>(i) == m_model->selectedIndex());
}

} // namespace kovi
