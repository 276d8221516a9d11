#include "ui/settings/general_settings_tab.h"

#include "core/settings/appearance_manager.h"
#include "core/settings/preferences.h"
#include "core/settings/settings_options.h"
#include "core/state/browser_state.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/stringlist.h>

namespace kovi {

using namespace settings_ui;

namespace {

constexpr std::array<std::pair<const char*, BrowserLayoutMode>, 2> layoutOptions = {{
    {"Vertical Tabs", BrowserLayoutMode::vertical},
    {"Horizontal Tabs", BrowserLayoutMode::traditional},
}};

template <class Options, class Title>
void fillPicker(Gtk::DropDown& picker, const Options& options, Title title, int width)
{
    std::vector<Glib::ustring> titles;
    for (const auto& option : options)
        titles.emplace_back(title(option));
    picker.set_model(Gtk::StringList::create(titles));
    picker.set_size_request(width, -1);
}

void select(Gtk::DropDown& picker, std::optional<std::size_t> index)
{
    // A stored value the picker does not offer shows no choice, and stays stored.
    picker.set_selected(index ? static_cast<guint>(*index) : GTK_INVALID_LIST_POSITION);
}

// A switch-style row: a column of the title and an optional description, then the switch.
Gtk::Box* switchRow(Gtk::Switch& control, const char* title, const char* description, const char* titleClass)
{
    auto* texts = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 4);
    texts->append(*makeLabel(title, {titleClass}));
    if (description)
        texts->append(*makeDescription(description));
    return makeRow(*texts, control);
}

} // namespace

template <class Signal, class Handler>
void GeneralSettingsTab::onUserChange(Signal&& signal, Handler handler)
{
    m_connections.add(signal.connect([this, handler] {
        if (m_refreshing == 0)
            handler();
    }));
}

GeneralSettingsTab::GeneralSettingsTab(BrowserState& state, AppearanceManager& appearance, Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 20), m_state(state), m_appearance(appearance), m_preferences(preferences)
{
    add_css_class("kovi-settings-page");
    set_margin(24);
    append(*makeAppearanceSection());
    append(*makeSearchSection());
    append(*makeStartupSection());
    append(*makeArchiveSection());
    refresh();

    // What other places change (the menu, the sidebar, the keyboard) shows here at once.
    auto refreshNow = [this] { refresh(); };
    m_connections.add(m_appearance.isDarkModeChanged.connect(refreshNow));
    m_connections.add(m_appearance.isGlassEnabledChanged.connect(refreshNow));
    m_connections.add(m_state.layoutModeChanged.connect(refreshNow));
    m_connections.add(m_state.isBrowserBezelEnabledChanged.connect(refreshNow));
    for (const PreferenceKey* key : std::initializer_list<const PreferenceKey*>{
             &prefs::showBookmarksBar, &prefs::defaultSearchEngine, &prefs::autoArchiveEnabled, &prefs::autoArchiveHours})
        m_connections.add(m_preferences.changed(*key).connect(refreshNow));
}

Gtk::Widget* GeneralSettingsTab::makeAppearanceSection()
{
    auto* section = Gtk::make_managed<SettingsSection>();
    addHeading(*section, "Appearance");

    auto* theme = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
    theme->add_css_class("linked");
    theme->add_css_class("kovi-settings-segmented");
    theme->set_homogeneous(true);
    theme->set_size_request(200, -1);
    for (std::size_t i = 0; i < themeOptions.size(); ++i) {
        auto* button = Gtk::make_managed<Gtk::ToggleButton>(std::string(themeOptions[i].title));
        if (i > 0)
            button->set_group(*m_theme[0]);
        m_theme[i] = button;
        theme->append(*button);
        const std::string_view tag = themeOptions[i].tag;
        onUserChange(button->signal_toggled(), [this, button, tag] {
            if (!button->get_active())
                return;
            m_appearance.setIsDarkMode(isDarkModeForThemeTag(tag));
            refresh(); // "System" shows as "Light"
        });
    }
    section->add(*makeRow("Theme", *theme));

    fillPicker(m_layout, layoutOptions, [](const auto& option) { return option.first; }, 180);
    onUserChange(m_layout.property_selected().signal_changed(), [this] {
        const guint index = m_layout.get_selected();
        if (index < layoutOptions.size())
            m_state.setLayoutMode(layoutOptions[index].second);
    });
    section->add(*makeRow("Browser Layout", m_layout));

    onUserChange(m_glass.property_active().signal_changed(),
                 [this] { m_appearance.setIsGlassEnabled(m_glass.get_active()); });
    section->add(*switchRow(m_glass, "Glass", "Translucent browser framing with soft color and luminous edges.",
                            "kovi-settings-body"));

    onUserChange(m_bookmarksBar.property_active().signal_changed(),
                 [this] { m_preferences.set(prefs::showBookmarksBar, m_bookmarksBar.get_active()); });
    section->add(*switchRow(m_bookmarksBar, "Show bookmarks bar", nullptr, "kovi-settings-13"));

    onUserChange(m_bezel.property_active().signal_changed(),
                 [this] { m_state.setIsBrowserBezelEnabled(m_bezel.get_active()); });
    gtk_accessible_update_property(GTK_ACCESSIBLE(m_bezel.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, "Browser bezel", -1);
    auto* bezel = switchRow(m_bezel, "Browser bezel",
                            "Frame pages with rounded borders. Turn off for edge-to-edge browsing.", "kovi-settings-13");
    // Set apart by space: a line under one row of many read as a stray one; the settings draw
    // a divider under section headings only.
    bezel->set_margin_top(10);
    section->add(*bezel);
    return section;
}

Gtk::Widget* GeneralSettingsTab::makeSearchSection()
{
    auto* section = Gtk::make_managed<SettingsSection>();
    addHeading(*section, "Search");
    fillPicker(m_searchEngine, searchEngineOptions, [](std::string_view name) { return std::string(name); }, 150);
    onUserChange(m_searchEngine.property_selected().signal_changed(), [this] {
        const guint index = m_searchEngine.get_selected();
        if (index < searchEngineOptions.size())
            m_preferences.set(prefs::defaultSearchEngine, std::string(searchEngineOptions[index]));
    });
    section->add(*makeRow("Default Search Engine", m_searchEngine));
    return section;
}

Gtk::Widget* GeneralSettingsTab::makeStartupSection()
{
    auto* section = Gtk::make_managed<SettingsSection>();
    addHeading(*section, "On Startup");
    // Fixed options: shown as they are, not to be changed.
    for (auto [check, title, value] : {std::tuple{&m_restoreSession, "Restore previous session", true},
                                       std::tuple{&m_welcomePage, "Show welcome page for new windows", false}}) {
        check->set_label(title);
        check->add_css_class("kovi-settings-13");
        check->set_active(value);
        markUnavailable(*check);
        section->add(*check);
    }
    return section;
}

Gtk::Widget* GeneralSettingsTab::makeArchiveSection()
{
    auto* section = Gtk::make_managed<SettingsSection>();
    addHeading(*section, "Auto Archive");
    m_autoArchive.set_label("Automatically archive inactive tabs");
    m_autoArchive.add_css_class("kovi-settings-13");
    onUserChange(m_autoArchive.signal_toggled(), [this] {
        m_preferences.set(prefs::autoArchiveEnabled, m_autoArchive.get_active());
        m_state.autoArchiveTabsIfNeeded();
    });
    section->add(m_autoArchive);

    fillPicker(m_archiveHours, archiveHoursOptions, [](const ArchiveHoursOption& o) { return std::string(o.title); },
               130);
    onUserChange(m_archiveHours.property_selected().signal_changed(), [this] {
        const guint index = m_archiveHours.get_selected();
        if (index >= archiveHoursOptions.size())
            return;
        m_preferences.set(prefs::autoArchiveHours, archiveHoursOptions[index].hours);
        m_state.autoArchiveTabsIfNeeded();
    });
    section->add(*makeRow("Archive after", m_archiveHours));
    return section;
}

void GeneralSettingsTab::refresh()
{
    ++m_refreshing;
    const std::string_view tag = themeTag(m_appearance.isDarkMode());
    for (std::size_t i = 0; i < themeOptions.size(); ++i)
        m_theme[i]->set_active(themeOptions[i].tag == tag);

    const BrowserLayoutMode mode = m_state.layoutMode();
    for (std::size_t i = 0; i < layoutOptions.size(); ++i) {
        if (layoutOptions[i].second == mode)
            select(m_layout, i);
    }
    m_glass.set_active(m_appearance.isGlassEnabled());
    m_bookmarksBar.set_active(m_preferences.get(prefs::showBookmarksBar));
    m_bezel.set_active(m_state.isBrowserBezelEnabled());
    select(m_searchEngine, searchEngineIndex(m_preferences.get(prefs::defaultSearchEngine)));

    const bool archiving = m_preferences.get(prefs::autoArchiveEnabled);
    m_autoArchive.set_active(archiving);
    select(m_archiveHours, archiveHoursIndex(m_preferences.get(prefs::autoArchiveHours)));
    m_archiveHours.set_sensitive(archiving);
    --m_refreshing;
}

} // namespace kovi
