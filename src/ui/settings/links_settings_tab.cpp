#include "ui/settings/links_settings_tab.h"

#include "core/settings/preferences.h"
#include "core/settings/settings_options.h"
#include "ui/settings/settings_section.h"

#include <gtkmm/stringlist.h>

namespace kovi {

using namespace settings_ui;

LinksSettingsTab::LinksSettingsTab(Preferences& preferences)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 20), m_preferences(preferences)
{
    add_css_class("kovi-settings-page");
    set_margin(24);

    auto* handling = Gtk::make_managed<SettingsSection>();
    addHeading(*handling, "Link Handling");
    std::vector<Glib::ustring> titles;
    for (const auto& option : linkTargetOptions)
        titles.emplace_back(std::string(option.title));
    m_picker.set_model(Gtk::StringList::create(titles));
    m_picker.set_size_request(150, -1);
    handling->add(*makeRow("Open links from other apps in", m_picker));
    append(*handling);

    auto* browser = Gtk::make_managed<SettingsSection>();
    addHeading(*browser, "Default Browser");
    m_makeDefault.set_label("Make Default");
    m_makeDefault.add_css_class("suggested-action");
    m_makeDefault.add_css_class("kovi-settings-small-button");
    markUnavailable(m_makeDefault);
    browser->add(*makeRow(*makeLabel("Kovi is not your default browser", {"kovi-settings-13", "kovi-secondary"}),
                          m_makeDefault));
    append(*browser);

    refresh();
    m_connections.add(m_picker.property_selected().signal_changed().connect([this] {
        const guint index = m_picker.get_selected();
        if (m_refreshing == 0 && index < linkTargetOptions.size())
            m_preferences.set(prefs::openLinksIn, std::string(linkTargetOptions[index].rawValue));
    }));
    m_connections.add(m_preferences.changed(prefs::openLinksIn).connect([this] { refresh(); }));
}

void LinksSettingsTab::refresh()
{
    ++m_refreshing;
    const auto index = linkTargetIndex(m_preferences.get(prefs::openLinksIn));
    m_picker.set_selected(index ? static_cast<guint>(*index) : GTK_INVALID_LIST_POSITION);
    --m_refreshing;
}

} // namespace kovi
